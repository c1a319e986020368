// The SQL texts the table operations send, byte for byte, and the column type rule with the
// CREATE TABLE it makes of a table's catalogue.
#include "oracle/field_value.h"
#include "oracle/sql_statements.h"
#include "tableops/table_definition.h"

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
    // Columns: data_type, data_length, data_precision, data_scale, char_length, char_used
    // (empty for null), and the type CREATE TABLE gets.
    void columnType_data()
    {
        QTest::addColumn<QStringList>("catalogue");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, QStringList catalogue, const char* expected) {
            QTest::newRow(name) << catalogue << QString(expected);
        };
        row("plain NUMBER", {"NUMBER", "22", "", "", "0", ""}, "NUMBER");
        row("NUMBER(10,2)", {"NUMBER", "22", "10", "2", "0", ""}, "NUMBER(10,2)");
        row("NUMBER(5)", {"NUMBER", "22", "5", "0", "0", ""}, "NUMBER(5)");
        row("INTEGER lists scale 0 alone", {"NUMBER", "22", "", "0", "0", ""}, "NUMBER(*,0)");
        row("NUMBER(*,2)", {"NUMBER", "22", "", "2", "0", ""}, "NUMBER(*,2)");
        row("negative scale", {"NUMBER", "22", "7", "-2", "0", ""}, "NUMBER(7,-2)");
        row("FLOAT keeps its binary precision", {"FLOAT", "22", "126", "", "0", ""}, "FLOAT(126)");
        row("FLOAT(10)", {"FLOAT", "22", "10", "", "0", ""}, "FLOAT(10)");
        row("VARCHAR2 in bytes says so", {"VARCHAR2", "10", "", "", "10", "B"}, "VARCHAR2(10 BYTE)");
        row("VARCHAR2 in characters", {"VARCHAR2", "40", "", "", "10", "C"}, "VARCHAR2(10 CHAR)");
        row("CHAR in characters keeps its width", {"CHAR", "40", "", "", "10", "C"}, "CHAR(10 CHAR)");
        row("CHAR of one byte", {"CHAR", "1", "", "", "1", "B"}, "CHAR(1 BYTE)");
        row("lower-case type", {"varchar2", "10", "", "", "10", "b"}, "VARCHAR2(10 BYTE)");
        row("NVARCHAR2 counts characters", {"NVARCHAR2", "4000", "", "", "2000", "C"}, "NVARCHAR2(2000)");
        row("NCHAR counts characters", {"NCHAR", "20", "", "", "10", "C"}, "NCHAR(10)");
        row("RAW", {"RAW", "16", "", "", "0", ""}, "RAW(16)");
        row("VARCHAR", {"VARCHAR", "30", "", "", "30", "B"}, "VARCHAR(30 BYTE)");
        // Extended strings (MAX_STRING_SIZE=EXTENDED): up to 32767 bytes, 16383 national characters.
        row("extended VARCHAR2", {"VARCHAR2", "32767", "", "", "32767", "B"}, "VARCHAR2(32767 BYTE)");
        row("extended VARCHAR2 in characters", {"VARCHAR2", "32000", "", "", "8000", "C"}, "VARCHAR2(8000 CHAR)");
        row("extended NVARCHAR2", {"NVARCHAR2", "32766", "", "", "16383", "C"}, "NVARCHAR2(16383)");
        row("extended RAW", {"RAW", "32767", "", "", "0", ""}, "RAW(32767)");
        row("past the longest", {"VARCHAR2", "32768", "", "", "32768", "B"}, "VARCHAR2");
        row("DATE", {"DATE", "7", "", "", "0", ""}, "DATE");
        row("date in lower case", {"date", "7", "", "", "0", ""}, "DATE");
        row("CLOB", {"CLOB", "4000", "", "", "0", ""}, "CLOB");
        row("Blob", {"Blob", "4000", "", "", "0", ""}, "BLOB");
        row("LONG of length 0", {"LONG", "0", "", "", "0", ""}, "LONG");
        row("TIMESTAMP(6) as spelled", {"TIMESTAMP(6)", "11", "", "6", "0", ""}, "TIMESTAMP(6)");
        row("INTERVAL as spelled", {"INTERVAL DAY(2) TO SECOND(6)", "11", "2", "6", "0", ""}, "INTERVAL DAY(2) TO SECOND(6)");
        row("BINARY_DOUBLE", {"BINARY_DOUBLE", "8", "", "", "0", ""}, "BINARY_DOUBLE");
        // A catalogue that could not give the details: the lengths as listed.
        row("no details: NVARCHAR2 by its length", {"NVARCHAR2", "20", "", "", "", ""}, "NVARCHAR2(20)");
        row("no details: VARCHAR2", {"VARCHAR2", "10", "", "", "", ""}, "VARCHAR2(10)");
        row("no details: extended", {"VARCHAR2", "32767", "", "", "", ""}, "VARCHAR2(32767)");
        row("null length", {"VARCHAR2", "", "", "", "", ""}, "VARCHAR2");
        row("not a number", {"VARCHAR2", "abc", "", "", "", ""}, "VARCHAR2");
    }
    void columnType()
    {
        QFETCH(QStringList, catalogue);
        QFETCH(QString, expected);
        const tableops::CatalogueColumn column{"C", catalogue[0], catalogue[1], catalogue[2],
                                              catalogue[3], catalogue[4], catalogue[5]};
        QCOMPARE(tableops::ColumnTypeText(column), expected);
    }

    void createTableOfADefinition()
    {
        tableops::TableDefinition orders{"ORDERS", {}, {"HIDDEN"}};
        orders.columns.push_back({"ID", "NUMBER", "22", "10", "0", "0", ""});
        orders.columns.push_back({"NAME", "VARCHAR2", "40", "", "", "10", "C"});
        orders.columns.push_back({"CODE", "CHAR", "3", "", "", "3", "B"});
        orders.columns.push_back({"CREATED", "DATE", "7", "", "", "0", ""});
        QCOMPARE(tableops::CreateTableText(orders),
                 QString(R"(CREATE TABLE "ORDERS"("ID" NUMBER(10),"NAME" VARCHAR2(10 CHAR),"CODE" CHAR(3 BYTE),"CREATED" DATE))"));
        const tableops::TableDefinition quoted{"a\"b", {{"x\"y", "RAW", "16", "", "", "0", ""}}, {}};
        QCOMPARE(tableops::CreateTableText(quoted), QString("CREATE TABLE \"a\"\"b\"(\"x\"\"y\" RAW(16))"));
    }

    void statements()
    {
        QCOMPARE(sql::CreateTable("ORDERS", {{"ID", "NUMBER"}, {"NAME", "VARCHAR2(10)"}, {"CREATED", "DATE"}}),
                 QString(R"(CREATE TABLE "ORDERS"("ID" NUMBER,"NAME" VARCHAR2(10),"CREATED" DATE))"));
        QCOMPARE(sql::TableColumnsCatalogue("column_name", "ORDERS"),
                 QString("SELECT column_name FROM all_tab_columns WHERE  table_name = 'ORDERS' AND owner = USER"
                         " AND column_id IS NOT NULL ORDER BY column_id"));
        QCOMPARE(sql::TableColumnsCatalogue("data_length", "O'NEIL"),
                 QString("SELECT data_length FROM all_tab_columns WHERE  table_name = 'O''NEIL' AND owner = USER"
                         " AND column_id IS NOT NULL ORDER BY column_id"));
        QCOMPARE(sql::InvisibleColumns("O'NEIL"),
                 QString("SELECT column_name FROM all_tab_columns WHERE  table_name = 'O''NEIL' AND owner = USER"
                         " AND column_id IS NULL ORDER BY column_name"));
        QCOMPARE(sql::SessionUser(), QString("SELECT username, user_id, created FROM user_users"));
        QCOMPARE(sql::DatabaseId(), QString("SELECT SYS_CONTEXT('USERENV', 'CON_DBID') FROM dual"));
        QCOMPARE(sql::DatabaseName(), QString("SELECT SYS_CONTEXT('USERENV', 'DB_NAME') FROM dual"));
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
        const QChar nul(0);
        QTest::newRow("NUL inside") << QString("ab") + nul + "cd" << int(SQL_VARCHAR) << "'ab' || CHR(0) || 'cd'";
        QTest::newRow("NUL alone") << QString(nul) << int(SQL_VARCHAR) << "CHR(0)";
        QTest::newRow("NUL first, quote after") << nul + QString("O'B") << int(SQL_VARCHAR) << "CHR(0) || 'O''B'";
        QTest::newRow("NULs at the end") << QString("x'") + nul + nul << int(SQL_VARCHAR) << "'x''' || CHR(0) || CHR(0)";
        QTest::newRow("NUL in a number column") << QString("1") + nul << int(SQL_DECIMAL) << "'1' || CHR(0)";
    }
    void valueLiterals()
    {
        QFETCH(QString, text);
        QFETCH(int, sqlType);
        QFETCH(QString, expected);
        QCOMPARE(literalOf(FieldValue::fromText(text), short(sqlType)), expected);
    }

    // Marks that look like byte-order marks are characters of the value wherever they stand, in
    // every statement the builder makes, not only its first.
    void everyCharacterKept()
    {
        const QStringList values = {
            QString(QChar(0xFEFF)) + "starts with a mark",
            QString(QChar(0xFFFE)) + "swapped mark",
            "mid" + QString(QChar(0xFEFF)) + "dle" + QString(QChar(0xFFFE)),
            QString::fromUtf8("emoji \xF0\x9F\x98\x80 and \xF0\x9D\x84\x9E"),
            QString::fromUtf8("e\xCC\x81 combining, \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D right to left"),
        };
        sql::InsertRowStatement insert("T");
        for (int round = 0; round < 2; ++round) {
            for (const QString& value : values) {
                insert.start();
                insert.add(FieldValue::fromText(value), SQL_WVARCHAR);
                QCOMPARE(insert.finish(), "INSERT INTO \"T\" VALUES('" + value + "')");
                insert.start();
                insert.addText(value.toUtf8(), SQL_WVARCHAR);
                QCOMPARE(insert.finish(), "INSERT INTO \"T\" VALUES('" + value + "')");
            }
        }
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
