// The SQL texts the table operations send, byte for byte, and the column type rule.
#include "oracle/field_value.h"
#include "oracle/sql_statements.h"
#include "tableops/definition_transfer.h"

#include <QtTest>
#include <sql.h>
#include <sqlext.h>

using namespace oracle;

namespace {

// The literal one value gives, cut out of a one-value INSERT.
QString literalOf(const FieldValue& value, short sqlType)
{
    sql::InsertRowStatement insert("T");
    insert.add(value, sqlType);
    const QString prefix = "INSERT INTO \"T\" VALUES(";
    const QString& text = insert.finish();
    return text.mid(prefix.size(), text.size() - prefix.size() - 1);
}

} // namespace

class SqlStatementsTest : public QObject {
    Q_OBJECT
private slots:
    void columnType_data()
    {
        QTest::addColumn<QString>("dataType");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("expected");
        QTest::newRow("NUMBER keeps every value") << "NUMBER" << "22" << "NUMBER";
        QTest::newRow("VARCHAR2") << "VARCHAR2" << "10" << "VARCHAR2(10)";
        QTest::newRow("lower-case type") << "varchar2" << "10" << "VARCHAR2(10)";
        QTest::newRow("CHAR of one") << "CHAR" << "1" << "CHAR(1)";
        QTest::newRow("NCHAR") << "NCHAR" << "4" << "NCHAR(4)";
        QTest::newRow("NVARCHAR2 in the catalogue's unit") << "NVARCHAR2" << "20" << "NVARCHAR2(20)";
        QTest::newRow("RAW") << "RAW" << "16" << "RAW(16)";
        QTest::newRow("VARCHAR") << "VARCHAR" << "30" << "VARCHAR(30)";
        QTest::newRow("DATE") << "DATE" << "7" << "DATE";
        QTest::newRow("date in lower case") << "date" << "7" << "DATE";
        QTest::newRow("CLOB") << "CLOB" << "4000" << "CLOB";
        QTest::newRow("Blob") << "Blob" << "4000" << "BLOB";
        QTest::newRow("LONG of length 0") << "LONG" << "0" << "LONG";
        QTest::newRow("above 8000") << "VARCHAR2" << "8001" << "VARCHAR2";
        QTest::newRow("exactly 8000") << "VARCHAR2" << "8000" << "VARCHAR2(8000)";
        QTest::newRow("null length") << "VARCHAR2" << "" << "VARCHAR2";
        QTest::newRow("TIMESTAMP(6) gets no second pair") << "TIMESTAMP(6)" << "11" << "TIMESTAMP(6)";
        QTest::newRow("FLOAT keeps its bits") << "FLOAT" << "22" << "FLOAT";
        QTest::newRow("BINARY_DOUBLE") << "BINARY_DOUBLE" << "8" << "BINARY_DOUBLE";
        QTest::newRow("not a number") << "VARCHAR2" << "abc" << "VARCHAR2";
    }
    void columnType()
    {
        QFETCH(QString, dataType);
        QFETCH(QString, length);
        QFETCH(QString, expected);
        QCOMPARE(tableops::ColumnTypeText(dataType, length), expected);
    }

    void statements()
    {
        QCOMPARE(sql::CreateTable("ORDERS", {{"ID", "NUMBER"}, {"NAME", "VARCHAR2(10)"}, {"CREATED", "DATE"}}),
                 QString(R"(CREATE TABLE "ORDERS"("ID" NUMBER,"NAME" VARCHAR2(10),"CREATED" DATE))"));
        QCOMPARE(sql::TableColumnsCatalogue("column_name", "ORDERS"),
                 QString("SELECT column_name FROM all_tab_columns WHERE  table_name = 'ORDERS'"));
        QCOMPARE(sql::TableColumnsCatalogue("data_length", "O'NEIL"),
                 QString("SELECT data_length FROM all_tab_columns WHERE  table_name = 'O''NEIL'"));
        QCOMPARE(sql::DropTable("ORDERS"), QString(R"(DROP TABLE "ORDERS")"));
        QCOMPARE(sql::DropTable(R"(A"B)"), QString(R"(DROP TABLE "A""B")"));
        QCOMPARE(sql::RenameTable("ORDERS", "orders_old"), QString(R"(RENAME "ORDERS" TO "orders_old")"));
        QCOMPARE(sql::RenameTable("T", R"(x" FROM y)"), QString(R"(RENAME "T" TO "x"" FROM y")"));
        QCOMPARE(sql::SelectAllRows("ORDERS"), QString(R"(SELECT * FROM "ORDERS")"));
        QCOMPARE(sql::UserTables(), QString("SELECT table_name FROM user_tables"));
    }

    void insertOfOrdinaryValues()
    {
        sql::InsertRowStatement insert("ORDERS");
        insert.add(FieldValue::fromText("12"), SQL_DECIMAL);
        insert.add(FieldValue::fromText("Ann"), SQL_VARCHAR);
        insert.add(FieldValue::null(), SQL_VARCHAR);
        insert.add(FieldValue::fromText("2.5"), SQL_DECIMAL);
        QCOMPARE(insert.finish(), QString("INSERT INTO \"ORDERS\" VALUES('12', 'Ann', '', '2.5')"));
        // The same builder serves the next row.
        insert.start();
        insert.add(FieldValue::fromText(""), SQL_VARCHAR);
        insert.addText(QByteArrayView("O'Brien ''x''"), SQL_VARCHAR);
        insert.addText(QByteArrayView("\xC3\xA9t\xC3\xA9"), SQL_VARCHAR);
        insert.addBytes(QByteArrayView("\x01\xFE", 2));
        insert.addBoolean(false);
        QCOMPARE(insert.finish(), QString::fromUtf8("INSERT INTO \"ORDERS\" VALUES('', 'O''Brien ''''x''''', '\xC3\xA9t\xC3\xA9', '01FE', 0)"));
        sql::InsertRowStatement single("T");
        single.add(FieldValue::fromText(""), SQL_VARCHAR);
        QCOMPARE(single.finish(), QString("INSERT INTO \"T\" VALUES('')"));
        sql::InsertRowStatement quoted("a\"b");
        quoted.add(FieldValue::fromText("1"), SQL_DECIMAL);
        QCOMPARE(quoted.finish(), QString("INSERT INTO \"a\"\"b\" VALUES('1')"));
    }

    void valueLiterals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("sqlType");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quote doubled") << "O'Brien" << int(SQL_VARCHAR) << "'O''Brien'";
        QTest::newRow("backslash kept") << R"(a\b)" << int(SQL_VARCHAR) << R"('a\b')";
        QTest::newRow("True stays text") << "True" << int(SQL_VARCHAR) << "'True'";
        QTest::newRow("separator text kept") << "a|myseparaterz|b" << int(SQL_VARCHAR) << "'a|myseparaterz|b'";
        QTest::newRow("exact number") << "12345678901234567890123456789012345678" << int(SQL_DECIMAL)
                                      << "'12345678901234567890123456789012345678'";
        QTest::newRow("timestamp escape") << "2024-01-02 03:04:05.123456" << int(SQL_TYPE_TIMESTAMP)
                                          << "{ts '2024-01-02 03:04:05.123456'}";
        QTest::newRow("date escape") << "2024-01-02" << int(SQL_TYPE_DATE) << "{d '2024-01-02'}";
        QTest::newRow("empty timestamp is null") << "" << int(SQL_TYPE_TIMESTAMP) << "''";
    }
    void valueLiterals()
    {
        QFETCH(QString, text);
        QFETCH(int, sqlType);
        QFETCH(QString, expected);
        QCOMPARE(literalOf(FieldValue::fromText(text), short(sqlType)), expected);
    }

    void otherValueKinds()
    {
        QCOMPARE(literalOf(FieldValue::fromBoolean(true), SQL_BIT), QString("1"));
        QCOMPARE(literalOf(FieldValue::fromBoolean(false), SQL_BIT), QString("0"));
        QCOMPARE(literalOf(FieldValue::fromBytes(QByteArray("\x00\xAB\x10", 3)), SQL_VARBINARY), QString("'00AB10'"));
        QCOMPARE(literalOf(FieldValue::null(), SQL_TYPE_TIMESTAMP), QString("''"));
    }
};

QTEST_GUILESS_MAIN(SqlStatementsTest)
#include "tst_sql_statements.moc"
