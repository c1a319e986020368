// The stand-in driver through the real ODBC stack: logging in, the dictionary views, names,
// DDL errors and how columns are described.
#include "devdb_fixture.h"

#include <QtTest>

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

#include <memory>

class TstDevDbCatalog : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;

    // Runs sql and returns the Oracle text of the failure ("" when it succeeded).
private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("DEMO1", "scott", "tiger");
        db->addUser("demo1", "HR", "Secret");
        db->addUser("DEMO2", "scott", "a;b}c");
    }

    void connect_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("error"); // empty: connects
        const QString drv = "Driver={Microsoft ODBC for Oracle};";
        QTest::newRow("good") << drv + "Server=DEMO1;Uid=scott;Pwd=tiger;" << "";
        QTest::newRow("user and SID in any case") << drv + "Server=Demo1;Uid=SCOTT;Pwd=tiger;" << "";
        QTest::newRow("keys in any case, no final ;") << "DRIVER={Microsoft ODBC for Oracle};server=DEMO1;UID=Scott;pwd=tiger" << "";
        QTest::newRow("braced password with ; and }") << drv + "Server=DEMO2;Uid=scott;Pwd={a;b}}c};" << "";
        QTest::newRow("password is case-sensitive") << drv + "Server=DEMO1;Uid=scott;Pwd=TIGER;"
                                                    << "[devdb][Oracle]ORA-01017: invalid username/password; logon denied";
        QTest::newRow("unknown user") << drv + "Server=DEMO1;Uid=nobody;Pwd=tiger;" << "ORA-01017: invalid username/password; logon denied";
        QTest::newRow("user of another SID") << drv + "Server=DEMO2;Uid=hr;Pwd=Secret;" << "ORA-01017";
        QTest::newRow("unknown SID") << drv + "Server=NOWHERE;Uid=scott;Pwd=tiger;"
                                     << "[devdb][Oracle]ORA-12154: TNS:could not resolve the connect identifier specified";
        QTest::newRow("SID with a path in it") << drv + "Server=../DEMO1;Uid=scott;Pwd=tiger;" << "ORA-12154";
        QTest::newRow("no password") << drv + "Server=DEMO1;Uid=scott;" << "ORA-01017";
        QTest::newRow("unterminated brace") << drv + "Server=DEMO1;Uid=scott;Pwd={tiger;" << "connection string";
    }
    void connect()
    {
        QFETCH(QString, connection);
        QFETCH(QString, error);
        try {
            DevDbConnection c(connection);
            QVERIFY2(error.isEmpty(), "connected although it should fail");
            QCOMPARE(c.query("SELECT COUNT(*) FROM user_tables").size(), 1);
        } catch (const std::runtime_error& e) {
            QVERIFY2(!error.isEmpty(), e.what());
            QVERIFY2(QString::fromUtf8(e.what()).contains(error), e.what());
        }
    }

    void userTablesAreScopedAndInCreationOrder()
    {
        db->exec("DEMO1", "scott", "CREATE TABLE \"ZED\"(\"A\" NUMBER)");
        db->exec("DEMO1", "scott", "CREATE TABLE \"ALPHA\"(\"A\" NUMBER)");
        db->exec("DEMO1", "scott", "CREATE TABLE \"orders\"(\"ID\" NUMBER)");
        db->exec("DEMO1", "scott", "CREATE TABLE ORDERS(ID NUMBER, \"id\" VARCHAR2(5))");
        db->exec("DEMO1", "hr", "CREATE TABLE \"ORDERS\"(\"ORDER_ID\" NUMBER(10) NOT NULL, \"NOTE\" CLOB)");
        const auto scott = db->query("DEMO1", "scott", "SELECT table_name FROM user_tables");
        QCOMPARE(scott, (QList<QStringList>{{"ZED"}, {"ALPHA"}, {"orders"}, {"ORDERS"}}));
        QCOMPARE(db->query("DEMO1", "HR", "SELECT table_name FROM user_tables"), (QList<QStringList>{{"ORDERS"}}));
        QCOMPARE(db->query("DEMO2", "scott", "SELECT table_name FROM user_tables"), QList<QStringList>{});
    }

    void allTabColumnsShowsEveryOwner()
    {
        const auto rows = db->query("DEMO1", "scott",
                                    "SELECT owner, column_name, data_type, nullable FROM all_tab_columns WHERE  table_name = 'ORDERS'");
        QCOMPARE(rows, (QList<QStringList>{{"HR", "ORDER_ID", "NUMBER", "N"},
                                           {"HR", "NOTE", "CLOB", "Y"},
                                           {"SCOTT", "ID", "NUMBER", "Y"},
                                           {"SCOTT", "id", "VARCHAR2", "Y"}}));
        QCOMPARE(db->query("DEMO1", "scott",
                           "select column_name from all_tab_columns where table_name = 'ORDERS' and owner = 'HR' order by column_name"),
                 (QList<QStringList>{{"NOTE"}, {"ORDER_ID"}}));
        QCOMPARE(db->query("DEMO1", "scott", "SELECT column_name FROM all_tab_columns WHERE table_name = 'orders'"),
                 (QList<QStringList>{{"ID"}}));
        // Tables of another owner can be read with owner.table.
        db->exec("DEMO1", "hr", "INSERT INTO \"ORDERS\" VALUES(7, 'x')");
        QCOMPARE(db->query("DEMO1", "scott", "SELECT \"ORDER_ID\" FROM hr.\"ORDERS\""), (QList<QStringList>{{"7"}}));
    }

    void catalogueValues_data()
    {
        QTest::addColumn<QString>("declared");
        QTest::addColumn<QString>("dataType");
        QTest::addColumn<QString>("dataLength");
        QTest::addColumn<int>("odbcType");
        const QList<std::tuple<const char*, const char*, const char*, int>> rows = {
            {"NUMBER", "NUMBER", "22", SQL_DECIMAL},
            {"NUMBER(10)", "NUMBER", "22", SQL_DECIMAL},
            {"NUMBER(10,2)", "NUMBER", "22", SQL_DECIMAL},
            {"INTEGER", "NUMBER", "22", SQL_DECIMAL},
            {"FLOAT", "FLOAT", "22", SQL_DOUBLE},
            {"BINARY_DOUBLE", "BINARY_DOUBLE", "8", SQL_DOUBLE},
            {"BINARY_FLOAT", "BINARY_FLOAT", "4", SQL_REAL},
            {"DATE", "DATE", "7", SQL_TYPE_TIMESTAMP},
            {"TIMESTAMP", "TIMESTAMP(6)", "11", SQL_TYPE_TIMESTAMP},
            {"TIMESTAMP(3)", "TIMESTAMP(3)", "11", SQL_TYPE_TIMESTAMP},
            {"VARCHAR2(40)", "VARCHAR2", "40", SQL_VARCHAR},
            {"VARCHAR(12)", "VARCHAR2", "12", SQL_VARCHAR},
            {"CHAR(3)", "CHAR", "3", SQL_CHAR},
            {"CHAR", "CHAR", "1", SQL_CHAR},
            {"NVARCHAR2(10)", "NVARCHAR2", "20", SQL_WVARCHAR},
            {"NCHAR(4)", "NCHAR", "8", SQL_WCHAR},
            {"RAW(16)", "RAW", "16", SQL_VARBINARY},
            {"CLOB", "CLOB", "4000", SQL_LONGVARCHAR},
            {"NCLOB", "NCLOB", "4000", SQL_WLONGVARCHAR},
            {"BLOB", "BLOB", "4000", SQL_LONGVARBINARY},
            {"LONG", "LONG", "0", SQL_LONGVARCHAR},
            {"LONG RAW", "LONG RAW", "0", SQL_LONGVARBINARY},
            {"BOOLEAN", "BOOLEAN", "1", SQL_BIT},
        };
        for (const auto& [decl, type, length, odbc] : rows) QTest::newRow(decl) << decl << type << length << odbc;
    }
    void catalogueValues()
    {
        QFETCH(QString, declared);
        QFETCH(QString, dataType);
        QFETCH(QString, dataLength);
        QFETCH(int, odbcType);
        const QString table = "T_" + QString(QTest::currentDataTag()).replace(QRegularExpression("\\W"), "_");
        db->exec("DEMO2", "scott", QString("CREATE TABLE \"%1\"(\"C\" %2)").arg(table, declared));
        const auto rows = db->query(
            "DEMO2", "scott", QString("SELECT data_type, data_length FROM all_tab_columns WHERE  table_name = '%1'").arg(table));
        QCOMPARE(rows, (QList<QStringList>{{dataType, dataLength}}));

        DevDbConnection c(DevDbFixture::connectionString("DEMO2", "scott", "{a;b}}c}"));
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &st);
        const QByteArray sql = QString("SELECT \"C\" FROM \"%1\"").arg(table).toUtf8();
        QVERIFY(SQL_SUCCEEDED(SQLPrepare(st, (SQLCHAR*)sql.data(), SQL_NTS))); // described before it runs
        SQLCHAR name[32];
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        QVERIFY(SQL_SUCCEEDED(SQLDescribeCol(st, 1, name, sizeof name, &nameLength, &type, &size, &digits, &nullable)));
        QCOMPARE(int(type), odbcType);
        QCOMPARE(QByteArray((char*)name), QByteArray("C"));
        QCOMPARE(int(nullable), SQL_NULLABLE);
        if (declared == "NUMBER(10,2)") { QCOMPARE(size, SQLULEN(10)); QCOMPARE(digits, SQLSMALLINT(2)); }
        if (declared == "VARCHAR2(40)") QCOMPARE(size, SQLULEN(40));
        if (declared == "TIMESTAMP(3)") QCOMPARE(digits, SQLSMALLINT(3));
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }

    void precisionAndScaleColumns()
    {
        db->exec("DEMO2", "scott", "CREATE TABLE PS(A NUMBER(10,2), B NUMBER(5), C NUMBER, D INTEGER, E TIMESTAMP(4))");
        QCOMPARE(db->query("DEMO2", "scott",
                           "SELECT column_name, data_precision, data_scale FROM all_tab_columns WHERE table_name = 'PS'"),
                 (QList<QStringList>{{"A", "10", "2"}, {"B", "5", "0"}, {"C", {}, {}}, {"D", {}, "0"}, {"E", {}, "4"}}));
    }

    // The column catalogue as the program reads it, one attribute per query, in declared order
    // (COLUMN_ID sorts as a number: the eleventh column comes after the second).
    void columnCatalogue()
    {
        struct Expect { const char* declared; const char* type; const char* length; const char* precision;
                        const char* scale; const char* charLength; const char* charUsed; };
        const QList<Expect> columns = {
            {"NUMBER", "NUMBER", "22", nullptr, nullptr, "0", nullptr},
            {"NUMBER(10,2)", "NUMBER", "22", "10", "2", "0", nullptr},
            {"NUMBER(5)", "NUMBER", "22", "5", "0", "0", nullptr},
            {"INTEGER", "NUMBER", "22", nullptr, "0", "0", nullptr},
            {"NUMBER(*,2)", "NUMBER", "22", nullptr, "2", "0", nullptr},
            {"NUMBER(*)", "NUMBER", "22", nullptr, nullptr, "0", nullptr},
            {"FLOAT(10)", "FLOAT", "22", "10", nullptr, "0", nullptr},
            {"FLOAT", "FLOAT", "22", "126", nullptr, "0", nullptr},
            {"VARCHAR2(20 CHAR)", "VARCHAR2", "80", nullptr, nullptr, "20", "C"},
            {"VARCHAR2(20 BYTE)", "VARCHAR2", "20", nullptr, nullptr, "20", "B"},
            {"VARCHAR2(20)", "VARCHAR2", "20", nullptr, nullptr, "20", "B"},
            {"VARCHAR2(1500 CHAR)", "VARCHAR2", "4000", nullptr, nullptr, "1500", "C"},
            {"CHAR(10 CHAR)", "CHAR", "40", nullptr, nullptr, "10", "C"},
            {"CHAR(10 BYTE)", "CHAR", "10", nullptr, nullptr, "10", "B"},
            {"CHAR(600 CHAR)", "CHAR", "2000", nullptr, nullptr, "600", "C"},
            {"NVARCHAR2(30)", "NVARCHAR2", "60", nullptr, nullptr, "30", "C"},
            {"NCHAR(5)", "NCHAR", "10", nullptr, nullptr, "5", "C"},
            {"RAW(16)", "RAW", "16", nullptr, nullptr, "0", nullptr},
            {"DATE", "DATE", "7", nullptr, nullptr, "0", nullptr},
            {"TIMESTAMP", "TIMESTAMP(6)", "11", nullptr, "6", "0", nullptr}, // Oracle keeps the fraction digits here
            {"CLOB", "CLOB", "4000", nullptr, nullptr, "0", nullptr},
            {"BINARY_DOUBLE", "BINARY_DOUBLE", "8", nullptr, nullptr, "0", nullptr},
        };
        QString create = "CREATE TABLE \"CAT\"(";
        for (int i = 0; i < columns.size(); ++i) create += QString("%1\"C%2\" %3").arg(i ? ", " : "").arg(i + 1).arg(columns[i].declared);
        db->exec("DEMO2", "scott", create + ")");
        db->addUser("DEMO2", "hr", "hr");
        db->exec("DEMO2", "hr", "CREATE TABLE \"CAT\"(\"OTHER\" DATE)"); // owner = USER leaves this out
        auto ask = [&](const QString& what) {
            return db->query("DEMO2", "scott",
                             "SELECT " + what + " FROM all_tab_columns WHERE  table_name = 'CAT' AND owner = USER ORDER BY column_id");
        };
        auto v = [](const char* text) { return text ? QString(text) : QString(); };
        QList<QStringList> names, types, lengths, details;
        for (int i = 0; i < columns.size(); ++i) {
            const Expect& e = columns[i];
            names << QStringList{QString("C%1").arg(i + 1)};
            types << QStringList{e.type};
            lengths << QStringList{e.length};
            details << QStringList{v(e.precision), v(e.scale), v(e.charLength), v(e.charUsed)};
        }
        QCOMPARE(ask("column_name"), names);
        QCOMPARE(ask("data_type"), types);
        QCOMPARE(ask("data_length"), lengths);
        QCOMPARE(ask("data_precision, data_scale, char_length, char_used"), details);
        QCOMPARE(db->query("DEMO2", "hr", "SELECT column_name, char_used FROM user_tab_columns WHERE table_name = 'CAT'"),
                 (QList<QStringList>{{"OTHER", {}}}));
        QCOMPARE(db->query("DEMO2", "hr", "SELECT column_id FROM all_tab_columns WHERE owner = 'SCOTT' AND table_name = 'CAT' "
                                          "ORDER BY column_id DESC").first(),
                 QStringList{QString::number(columns.size())});
        // USER works on the right of any condition.
        QCOMPARE(db->query("DEMO2", "hr", "SELECT table_name FROM all_tables WHERE owner = USER"), (QList<QStringList>{{"CAT"}}));
        db->exec("DEMO2", "hr", "INSERT INTO \"CAT\" VALUES(NULL)");
        db->exec("DEMO2", "scott", "DROP TABLE \"CAT\"");
        db->exec("DEMO2", "hr", "DROP TABLE \"CAT\"");
    }

    // With the "unordered" marker, dictionary views queried without ORDER BY hand out their rows
    // scrambled, differently each time; with ORDER BY they stay sorted.
    void unorderedCatalogue()
    {
        db->addUser("UNORD", "u", "p");
        DevDbConnection setup(DevDbFixture::connectionString("UNORD", "u", "p"));
        QList<QStringList> natural;
        for (const char* name : {"E", "D", "C", "B", "A"}) {
            setup.exec(QString("CREATE TABLE \"%1\"(\"X\" NUMBER, \"Y\" NUMBER, \"Z\" NUMBER)").arg(name));
            natural << QStringList{name};
        }
        const QList<QStringList> sorted{{"A"}, {"B"}, {"C"}, {"D"}, {"E"}};
        db->setUnordered(true);
        {
            DevDbConnection c(DevDbFixture::connectionString("UNORD", "u", "p"));
            QList<QList<QStringList>> seen;
            for (int i = 0; i < 6; ++i) {
                const auto rows = c.query("SELECT table_name FROM user_tables");
                QVERIFY(rows != natural);
                QCOMPARE(QList<QStringList>(rows).size(), natural.size());
                auto sortedRows = rows;
                std::sort(sortedRows.begin(), sortedRows.end());
                QCOMPARE(sortedRows, sorted); // the same rows
                if (!seen.isEmpty()) QVERIFY(rows != seen.last());
                seen << rows;
            }
            QCOMPARE(c.query("SELECT table_name FROM user_tables ORDER BY table_name"), sorted);
            QVERIFY(c.query("SELECT column_name FROM user_tab_columns WHERE table_name = 'A'")
                    != (QList<QStringList>{{"X"}, {"Y"}, {"Z"}}));
            QCOMPARE(c.query("SELECT column_name FROM user_tab_columns WHERE table_name = 'A' ORDER BY column_id"),
                     (QList<QStringList>{{"X"}, {"Y"}, {"Z"}}));
            QCOMPARE(c.query("SELECT COUNT(*) FROM user_tables"), (QList<QStringList>{{"5"}}));
            // Two rows: scrambled or not, both are there.
            QCOMPARE(c.query("SELECT table_name FROM user_tables WHERE table_name = 'A'"), (QList<QStringList>{{"A"}}));
        }
        db->setUnordered(false);
        QCOMPARE(db->query("UNORD", "u", "SELECT table_name FROM user_tables"), natural);
    }

    // A file written by an earlier devdb (each table a SQLite table of its own, no database name)
    // is brought up to date when first opened: same tables, rows in their order, keys still unique.
    void fileFromAnEarlierVersion()
    {
        const QByteArray path = (db->dataDir() + "/OLDFILE.db").toUtf8();
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(path.constData(), &raw), SQLITE_OK);
        const char* old =
            "PRAGMA journal_mode=WAL;"
            "CREATE TABLE dd_meta(gen INTEGER NOT NULL); INSERT INTO dd_meta VALUES(2);"
            "CREATE TABLE dd_users(name TEXT PRIMARY KEY, password TEXT NOT NULL); INSERT INTO dd_users VALUES('U', 'p');"
            "CREATE TABLE dd_tables(id INTEGER PRIMARY KEY AUTOINCREMENT, owner TEXT NOT NULL, name TEXT NOT NULL,"
            " pk_name TEXT, UNIQUE(owner, name));"
            "CREATE TABLE dd_columns(table_id INTEGER NOT NULL, pos INTEGER NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL,"
            " not_null INTEGER NOT NULL, pk_pos INTEGER, PRIMARY KEY(table_id, pos));"
            "INSERT INTO dd_tables VALUES(1, 'U', 'Keyed', 'PK_KEYED'), (2, 'U', 'PLAIN', 'SYS_C000002');"
            "INSERT INTO dd_columns VALUES(1, 1, 'ID', 'NUMBER(10,0)', 1, 0), (1, 2, 'R', 'RAW(4)', 0, NULL),"
            " (2, 1, 'S', 'VARCHAR2(10 BYTE)', 0, NULL);"
            "CREATE TABLE t_1(c_1, c_2, PRIMARY KEY(c_1)); INSERT INTO t_1 VALUES('5', x'00ff'), ('3', NULL);"
            "CREATE TABLE t_2(c_1); INSERT INTO t_2 VALUES('b'), (NULL), ('a');";
        QCOMPARE(sqlite3_exec(raw, old, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);

        DevDbConnection c(DevDbFixture::connectionString("OLDFILE", "u", "p"));
        QCOMPARE(c.query("SELECT SYS_CONTEXT('USERENV', 'DB_NAME') FROM dual"), (QList<QStringList>{{"OLDFILE"}}));
        // It learns an id of its own, and its user an id and a creation time.
        QVERIFY(!c.query("SELECT SYS_CONTEXT('USERENV', 'CON_DBID') FROM dual").value(0).value(0).isEmpty());
        const QList<QStringList> user = c.query("SELECT username, user_id, created FROM user_users");
        QCOMPARE(user.value(0).mid(0, 2), (QStringList{"U", "100"}));
        QVERIFY(!user.value(0).value(2).isEmpty());
        QCOMPARE(c.query("SELECT table_name FROM user_tables"), (QList<QStringList>{{"Keyed"}, {"PLAIN"}}));
        QCOMPARE(c.query("SELECT * FROM \"Keyed\""), (QList<QStringList>{{"5", "00FF"}, {"3", {}}}));
        QCOMPARE(c.query("SELECT * FROM \"PLAIN\""), (QList<QStringList>{{"b"}, {{}}, {"a"}}));
        try {
            c.exec("INSERT INTO \"Keyed\" VALUES(3, NULL)");
            QFAIL("a duplicate key went in");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString("[devdb][Oracle]ORA-00001: unique constraint (U.PK_KEYED) violated"));
        }
        QCOMPARE(c.query("SELECT COUNT(*) FROM \"Keyed\""), (QList<QStringList>{{"2"}}));
        c.exec("INSERT INTO \"PLAIN\" VALUES('c')");
        QCOMPARE(c.query("SELECT * FROM \"PLAIN\" WHERE \"S\" IS NOT NULL"), (QList<QStringList>{{"b"}, {"a"}, {"c"}}));

        QCOMPARE(sqlite3_open(path.constData(), &raw), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw, "SELECT count(*) FROM sqlite_master WHERE name LIKE 't\\_%' ESCAPE '\\'", -1, &st, nullptr);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(st, 0), 0); // the tables of their own are gone
        sqlite3_finalize(st);
        sqlite3_close(raw);
    }

    // An INVISIBLE column has no column_id, is left out of SELECT * and of an INSERT without a
    // column list, and is there for whoever names it.
    void invisibleColumns()
    {
        db->exec("DEMO1", "scott", "CREATE TABLE \"HIDES\"(\"A\" NUMBER, \"H\" VARCHAR2(5) INVISIBLE, \"B\" NUMBER VISIBLE)");
        db->exec("DEMO1", "scott", "INSERT INTO \"HIDES\" VALUES(1, 2)");
        db->exec("DEMO1", "scott", "INSERT INTO \"HIDES\" (\"A\", \"H\") VALUES(3, 'h')");
        QCOMPARE(db->query("DEMO1", "scott", "SELECT * FROM \"HIDES\""), (QList<QStringList>{{"1", "2"}, {"3", {}}}));
        QCOMPARE(db->query("DEMO1", "scott", "SELECT \"H\", \"A\" FROM \"HIDES\" WHERE \"H\" IS NOT NULL"),
                 (QList<QStringList>{{"h", "3"}}));
        QCOMPARE(db->query("DEMO1", "scott", "SELECT column_name, column_id FROM user_tab_columns WHERE table_name = 'HIDES'"),
                 (QList<QStringList>{{"A", "1"}, {"H", {}}, {"B", "2"}}));
        QVERIFY(db->errorOf("DEMO1", "scott", "INSERT INTO \"HIDES\" VALUES(1, 'x', 2)").contains("ORA-00913"));
    }

    // MAX_STRING_SIZE=EXTENDED: VARCHAR2 and RAW up to 32767 bytes, NVARCHAR2 up to 16383
    // characters, for that database alone.
    void extendedStrings()
    {
        db->addUser("WIDE", "u", "p");
        db->setExtendedStrings("WIDE");
        db->exec("WIDE", "u", "CREATE TABLE \"L\"(\"V\" VARCHAR2(32767), \"C\" VARCHAR2(10000 CHAR), \"N\" NVARCHAR2(16383), \"R\" RAW(32767))");
        QCOMPARE(db->query("WIDE", "u", "SELECT data_length, char_length FROM user_tab_columns WHERE table_name = 'L' ORDER BY column_id"),
                 (QList<QStringList>{{"32767", "32767"}, {"32767", "10000"}, {"32766", "16383"}, {"32767", "0"}}));
        db->exec("WIDE", "u", QString("INSERT INTO \"L\" (\"V\") VALUES('%1')").arg(QString(32767, 'v')));
        QVERIFY(db->errorOf("WIDE", "u", QString("INSERT INTO \"L\" (\"V\") VALUES('%1')").arg(QString(32768, 'v')))
                    .contains("ORA-12899: value too large for column \"U\".\"L\".\"V\" (actual: 32768, maximum: 32767)"));
        QVERIFY(db->errorOf("WIDE", "u", "CREATE TABLE \"M\"(\"N\" NVARCHAR2(16384))").contains("ORA-00910"));
        QVERIFY(db->errorOf("WIDE", "u", "CREATE TABLE \"M\"(\"C\" CHAR(2001))").contains("ORA-00910"));
        QVERIFY(db->errorOf("DEMO1", "scott", "CREATE TABLE \"M\"(\"V\" VARCHAR2(4001))").contains("ORA-00910"));
    }

    void namesAreCaseSensitiveWhenQuoted()
    {
        db->exec("DEMO1", "scott", "INSERT INTO \"orders\" VALUES(1)");
        db->exec("DEMO1", "scott", "INSERT INTO orders VALUES(2, 'two')");
        QCOMPARE(db->query("DEMO1", "scott", "SELECT * FROM \"orders\""), (QList<QStringList>{{"1"}}));
        QCOMPARE(db->query("DEMO1", "scott", "SELECT \"id\", ID FROM Orders"), (QList<QStringList>{{"two", "2"}}));
        QVERIFY(db->errorOf("DEMO1", "scott", "SELECT \"Id\" FROM ORDERS").contains("ORA-00904: \"Id\": invalid identifier"));
        QVERIFY(db->errorOf("DEMO1", "scott", "SELECT * FROM \"Orders\"").contains("ORA-00942: table or view does not exist"));
    }

    void ddlErrors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        QTest::newRow("name taken") << "CREATE TABLE \"ZED\"(\"B\" DATE)" << "ORA-00955: name is already used by an existing object";
        QTest::newRow("name taken, unquoted") << "create table zed (b date)" << "ORA-00955";
        QTest::newRow("timestamp twice") << "CREATE TABLE \"X1\"(\"A\" TIMESTAMP(6)(11))" << "ORA-00907: missing right parenthesis";
        QTest::newRow("binary_double length") << "CREATE TABLE \"X1\"(\"A\" BINARY_DOUBLE(8))" << "ORA-00907";
        QTest::newRow("unclosed number") << "CREATE TABLE \"X1\"(\"A\" NUMBER(22" << "ORA-00907";
        QTest::newRow("unknown type") << "CREATE TABLE \"X1\"(\"A\" STRING(5))" << "ORA-00902: invalid datatype";
        QTest::newRow("varchar2 without length") << "CREATE TABLE \"X1\"(\"A\" VARCHAR2)" << "ORA-00906: missing left parenthesis";
        QTest::newRow("varchar2 too long") << "CREATE TABLE \"X1\"(\"A\" VARCHAR2(4001))" << "ORA-00910";
        QTest::newRow("varchar2 too many bytes") << "CREATE TABLE \"X1\"(\"A\" VARCHAR2(4001 BYTE))"
                                                 << "ORA-00910: specified length too long for its datatype";
        QTest::newRow("varchar2 too many characters") << "CREATE TABLE \"X1\"(\"A\" VARCHAR2(4001 CHAR))" << "ORA-00910";
        QTest::newRow("char too long") << "CREATE TABLE \"X1\"(\"A\" CHAR(2001 CHAR))" << "ORA-00910";
        QTest::newRow("nvarchar2 too long") << "CREATE TABLE \"X1\"(\"A\" NVARCHAR2(2001))" << "ORA-00910";
        QTest::newRow("nchar too long") << "CREATE TABLE \"X1\"(\"A\" NCHAR(1001))" << "ORA-00910";
        QTest::newRow("raw too long") << "CREATE TABLE \"X1\"(\"A\" RAW(2001))" << "ORA-00910";
        QTest::newRow("varchar2 past extended strings") << "CREATE TABLE \"X1\"(\"A\" VARCHAR2(32768))" << "ORA-00910";
        QTest::newRow("every column invisible") << "CREATE TABLE \"X1\"(\"A\" NUMBER INVISIBLE)" << "ORA-54039";
        QTest::newRow("semantics on nvarchar2") << "CREATE TABLE \"X1\"(\"A\" NVARCHAR2(5 CHAR))" << "ORA-00907";
        QTest::newRow("precision out of range") << "CREATE TABLE \"X1\"(\"A\" NUMBER(39))" << "ORA-01727";
        QTest::newRow("no columns") << "CREATE TABLE \"X1\"()" << "ORA-00904: invalid identifier";
        QTest::newRow("reserved word as column") << "CREATE TABLE \"X1\"(SELECT NUMBER)" << "ORA-00904";
        QTest::newRow("empty quoted name") << "CREATE TABLE \"X1\"(\"\" NUMBER)" << "ORA-01741";
        QTest::newRow("duplicate column") << "CREATE TABLE \"X1\"(A NUMBER, \"A\" DATE)" << "ORA-00957: duplicate column name";
        QTest::newRow("two primary keys") << "CREATE TABLE \"X1\"(A NUMBER PRIMARY KEY, B NUMBER PRIMARY KEY)" << "ORA-02260";
        QTest::newRow("name too long") << QString("CREATE TABLE \"%1\"(A NUMBER)").arg(QString(129, 'N')) << "ORA-00972";
        QTest::newRow("drop missing") << "DROP TABLE \"NOPE\"" << "ORA-00942: table or view does not exist";
        QTest::newRow("drop other case") << "DROP TABLE \"Zed\"" << "ORA-00942";
        QTest::newRow("rename missing") << "RENAME \"NOPE\" TO \"X2\"" << "ORA-04043: object NOPE does not exist";
        QTest::newRow("rename onto existing") << "RENAME \"ZED\" TO \"ALPHA\"" << "ORA-00955";
        QTest::newRow("create view") << "CREATE VIEW V AS SELECT * FROM ZED" << "ORA-00901: invalid CREATE command";
        QTest::newRow("drop index") << "DROP INDEX I" << "ORA-00950: invalid DROP option";
    }
    void ddlErrors()
    {
        QFETCH(QString, sql);
        QFETCH(QString, error);
        const QString got = db->errorOf("DEMO1", "scott", sql);
        QVERIFY2(got.contains(error), qPrintable(got));
        QVERIFY2(got.startsWith("[devdb][Oracle]ORA-"), qPrintable(got));
    }

    void dropAndRename()
    {
        db->exec("DEMO1", "scott", "CREATE TABLE \"TMP\"(\"A\" NUMBER)");
        db->exec("DEMO1", "scott", "INSERT INTO \"TMP\" VALUES(5)");
        db->exec("DEMO1", "scott", "RENAME \"TMP\" TO \"tmp2\"");
        QCOMPARE(db->query("DEMO1", "scott", "SELECT * FROM \"tmp2\""), (QList<QStringList>{{"5"}}));
        QVERIFY(db->errorOf("DEMO1", "scott", "SELECT * FROM \"TMP\"").contains("ORA-00942"));
        db->exec("DEMO1", "scott", "DROP TABLE \"tmp2\"");
        db->exec("DEMO1", "scott", "CREATE TABLE \"tmp2\"(\"B\" DATE)"); // the name is free again, empty table
        QCOMPARE(db->query("DEMO1", "scott", "SELECT COUNT(*) FROM \"tmp2\""), (QList<QStringList>{{"0"}}));
        QVERIFY(!db->query("DEMO1", "scott", "SELECT table_name FROM user_tables").contains(QStringList{"TMP"}));
    }

    void secondConnectionSeesCatalogueChanges()
    {
        DevDbConnection a(DevDbFixture::connectionString("DEMO1", "scott", "tiger"));
        DevDbConnection b(DevDbFixture::connectionString("DEMO1", "scott", "tiger"));
        a.exec("CREATE TABLE \"SHARED\"(\"A\" NUMBER)");
        b.exec("INSERT INTO \"SHARED\" VALUES(1)");
        a.exec("DROP TABLE \"SHARED\"");
        a.exec("CREATE TABLE \"SHARED\"(\"X\" VARCHAR2(3), \"Y\" NUMBER)");
        b.exec("INSERT INTO \"SHARED\" VALUES('abc', 2)"); // b must not use the dropped table's layout
        QCOMPARE(a.query("SELECT * FROM \"SHARED\""), (QList<QStringList>{{"abc", "2"}}));
    }
};

QTEST_GUILESS_MAIN(TstDevDbCatalog)
#include "tst_devdb_catalog.moc"
