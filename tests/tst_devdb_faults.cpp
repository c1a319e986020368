// Failure paths of the stand-in driver: fault rules, lost connections, garbage statements and
// misuse of the ODBC API must give errors, never crashes; plus a quick speed check.
#include "devdb_fixture.h"

#include <QtTest>

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

#include <memory>

class TstDevDbFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;

    static QString cs() { return DevDbFixture::connectionString("F", "u", "p"); }

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("F", "u", "p");
        db->exec("F", "u", "CREATE TABLE \"ORDERS\"(\"ID\" NUMBER PRIMARY KEY)");
    }
    void cleanup() { db->clearFaults(); }

    void nthMatchingStatementFails()
    {
        db->addFault("3|INSERT INTO \"ORDERS\"|HY000|ORA-00001: unique constraint (SCOTT.PK) violated");
        DevDbConnection c(cs());
        c.exec("  INSERT INTO \"ORDERS\" VALUES(1)"); // leading blanks are ignored for matching
        c.exec("SELECT COUNT(*) FROM \"ORDERS\"");   // does not match, not counted
        c.exec("INSERT INTO \"ORDERS\" VALUES(2)");
        QCOMPARE(c.errorOf("INSERT INTO \"ORDERS\" VALUES(3)"),
                 QString("[devdb][Oracle]ORA-00001: unique constraint (SCOTT.PK) violated"));
        c.exec("INSERT INTO \"ORDERS\" VALUES(4)"); // only the third one
        QCOMPARE(c.query("SELECT COUNT(*) FROM ORDERS"), (QList<QStringList>{{"3"}})); // the failed one did not run

        DevDbConnection fresh(cs()); // counts are per connection
        fresh.exec("INSERT INTO \"ORDERS\" VALUES(5)");
        QVERIFY(fresh.errorOf("insert into \"ORDERS\" values(6)").isEmpty()); // case-sensitive prefix
        fresh.exec("DELETE FROM ORDERS");
    }

    void andLaterRuleAndLostConnection()
    {
        db->addFault("2+|SELECT|HY000|ORA-01013: user requested cancel of current operation");
        db->addFault("6+|*|08S01|ORA-03113: end-of-file on communication channel");
        DevDbConnection c(cs());
        c.query("SELECT COUNT(*) FROM ORDERS");
        QVERIFY(c.errorOf("SELECT COUNT(*) FROM ORDERS").contains("ORA-01013"));
        QVERIFY(c.errorOf("SELECT * FROM ORDERS").contains("ORA-01013"));
        c.exec("INSERT INTO ORDERS VALUES(10)");
        c.exec("INSERT INTO ORDERS VALUES(11)");
        const QString lost = "[devdb][Oracle]ORA-03113: end-of-file on communication channel";
        QCOMPARE(c.errorOf("INSERT INTO ORDERS VALUES(12)"), lost);
        db->clearFaults();
        QCOMPARE(c.errorOf("INSERT INTO ORDERS VALUES(13)"), lost); // stays lost
        SQLUINTEGER dead = 0;
        SQLGetConnectAttr(c.handle(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
        QCOMPARE(dead, SQLUINTEGER(SQL_CD_TRUE));
        DevDbConnection again(cs());
        QCOMPARE(again.query("SELECT COUNT(*) FROM ORDERS"), (QList<QStringList>{{"2"}}));
        again.exec("DELETE FROM ORDERS");
    }

    void sqlstateOfFault()
    {
        db->addFault("1|*|08S01|ORA-03113: end-of-file on communication channel");
        DevDbConnection c(cs());
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &st);
        QCOMPARE(SQLExecDirect(st, (SQLCHAR*)"SELECT * FROM ORDERS", SQL_NTS), SQLRETURN(SQL_ERROR));
        SQLCHAR state[6];
        SQLINTEGER native = 0;
        SQLCHAR text[256];
        SQLSMALLINT len;
        QCOMPARE(SQLGetDiagRec(SQL_HANDLE_STMT, st, 1, state, &native, text, sizeof text, &len), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(QByteArray((char*)state), QByteArray("08S01"));
        QCOMPARE(int(native), 3113);
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }

    void connectFault()
    {
        db->addFault("2|CONNECT|08001|ORA-12541: TNS:no listener");
        DevDbConnection first(cs());
        try {
            DevDbConnection second(cs());
            QFAIL("second connection should fail");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString("[devdb][Oracle]ORA-12541: TNS:no listener"));
        }
        DevDbConnection third(cs());
        db->clearFaults();
        db->addFault("1+|CONNECT|08001|ORA-12541: TNS:no listener"); // a rewritten file counts anew
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, DevDbConnection{cs()});
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, DevDbConnection{cs()});
    }

    void invalidRulesAreRefused()
    {
        for (const char* rule : {"0|*|HY000|x", "x|*|HY000|x", "1|*|HY0|x", "1||HY000|x", "1|*|HY000|", "1|*|HY000"})
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, db->addFault(rule));
    }

    void garbageNeverCrashes_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        QTest::newRow("blanks") << "   \t " << "ORA-00900";
        QTest::newRow("unknown verb") << "MERGE INTO X" << "ORA-00900: invalid SQL statement";
        QTest::newRow("update") << "UPDATE ORDERS SET ID = 1" << "ORA-00900";
        QTest::newRow("semicolon") << "SELECT * FROM ORDERS;" << "ORA-00911: invalid character";
        QTest::newRow("unterminated string") << "INSERT INTO ORDERS VALUES('abc" << "ORA-01756";
        QTest::newRow("unterminated name") << "SELECT * FROM \"ORD" << "ORA-01740";
        QTest::newRow("unterminated escape") << "INSERT INTO ORDERS VALUES({ts '2024-01-01'" << "ORA-00911";
        QTest::newRow("unknown escape") << "INSERT INTO ORDERS VALUES({fn now()})" << "ORA-00911";
        QTest::newRow("unknown function") << "INSERT INTO ORDERS VALUES(SYSDATE())" << "ORA-00904";
        QTest::newRow("column as value") << "INSERT INTO ORDERS VALUES(ID)" << "ORA-00984";
        QTest::newRow("expression") << "INSERT INTO ORDERS VALUES(1 + 2)" << "ORA-00917";
        QTest::newRow("no values keyword") << "INSERT INTO ORDERS (ID) (1)" << "ORA-00926";
        QTest::newRow("insert without into") << "INSERT ORDERS VALUES(1)" << "ORA-00925";
        QTest::newRow("select nothing") << "SELECT" << "ORA-00936";
        QTest::newRow("select without from") << "SELECT ID" << "ORA-00923";
        QTest::newRow("bad operator") << "SELECT * FROM ORDERS WHERE ID > 1" << "ORA-00920";
        QTest::newRow("trailing junk") << "SELECT * FROM ORDERS junk junk" << "ORA-00933";
        QTest::newRow("order without by") << "SELECT * FROM ORDERS ORDER ID" << "ORA-00924";
        QTest::newRow("nul byte") << QString("SELECT * FROM ORDERS") + QChar(0) << "ORA-00911";
        QTest::newRow("control characters") << "\x01\x02\x03" << "ORA-00911";
        QTest::newRow("huge number literal") << "INSERT INTO ORDERS VALUES(" + QString(5000, '9') + ")" << "ORA-01426";
        QTest::newRow("huge exponent") << "INSERT INTO ORDERS VALUES(1e999999999999)" << "ORA-01426";
        QTest::newRow("huge identifier") << "SELECT * FROM " + QString(100000, 'A') << "ORA-00972";
        QTest::newRow("deep parentheses") << "SELECT " + QString(10000, '(') << "ORA-00936";
        QTest::newRow("comment only") << "-- nothing" << "ORA-00900";
        QTest::newRow("number in where on text") << "SELECT * FROM ORDERS WHERE ID = 'x'" << "ORA-01722";
        QTest::newRow("marker never bound") << "INSERT INTO ORDERS VALUES(?)" << "COUNT field incorrect";
        QTest::newRow("marker joined") << "INSERT INTO ORDERS VALUES('a' || ?)" << "Optional feature not implemented";
    }
    void garbageNeverCrashes()
    {
        QFETCH(QString, sql);
        QFETCH(QString, error);
        DevDbConnection c(cs());
        const QString got = c.errorOf(sql);
        QVERIFY2(got.contains(error), qPrintable(got));
        QVERIFY2(got.startsWith("[devdb]"), qPrintable(got));
        QCOMPARE(c.query("SELECT COUNT(*) FROM ORDERS"), (QList<QStringList>{{"0"}})); // connection still usable
    }

    void apiMisuseGivesErrors()
    {
        DevDbConnection c(cs());
        SQLHSTMT st = nullptr;
        QCOMPARE(SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &st), SQLRETURN(SQL_SUCCESS));
        char buf[8];
        SQLLEN ind;
        QCOMPARE(SQLFetch(st), SQLRETURN(SQL_ERROR));                                     // no cursor
        QCOMPARE(SQLGetData(st, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQLRETURN(SQL_ERROR));
        QCOMPARE(SQLExecDirect(st, (SQLCHAR*)"SELECT * FROM ORDERS", SQL_NTS), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(SQLGetData(st, 1, SQL_C_CHAR, buf, sizeof buf, &ind), SQLRETURN(SQL_ERROR)); // before fetch
        QCOMPARE(SQLExecDirect(st, (SQLCHAR*)"SELECT * FROM ORDERS", SQL_NTS), SQLRETURN(SQL_ERROR)); // cursor open
        QCOMPARE(SQLFetch(st), SQLRETURN(SQL_NO_DATA));
        QCOMPARE(SQLCloseCursor(st), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(SQLCloseCursor(st), SQLRETURN(SQL_ERROR)); // nothing open
        SQLCHAR name[8];
        QCOMPARE(SQLDescribeCol(st, 1, name, sizeof name, nullptr, nullptr, nullptr, nullptr, nullptr), SQLRETURN(SQL_ERROR));
        QCOMPARE(SQLExecDirect(st, (SQLCHAR*)"SELECT ID FROM ORDERS", SQL_NTS), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(SQLDescribeCol(st, 2, name, sizeof name, nullptr, nullptr, nullptr, nullptr, nullptr), SQLRETURN(SQL_ERROR));
        QCOMPARE(SQLDescribeCol(st, 1, nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(SQLFreeStmt(st, SQL_CLOSE), SQLRETURN(SQL_SUCCESS));
        SQLLEN rows = 0;
        QCOMPARE(SQLExecDirect(st, (SQLCHAR*)"INSERT INTO ORDERS VALUES(1)", SQL_NTS), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(SQLRowCount(st, &rows), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(rows, SQLLEN(1));
        QCOMPARE(SQLExecDirect(st, (SQLCHAR*)"DELETE FROM ORDERS", SQL_NTS), SQLRETURN(SQL_SUCCESS));
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }

    // A finished query must not keep the table locked against another connection's DDL.
    void finishedQueryReleasesTheTable()
    {
        DevDbConnection a(cs()), b(cs());
        a.exec("CREATE TABLE \"TMP\"(\"A\" NUMBER)");
        a.exec("INSERT INTO \"TMP\" VALUES(1)");
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, a.handle(), &st);
        QVERIFY(SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)"SELECT * FROM \"TMP\"", SQL_NTS)));
        QCOMPARE(SQLFetch(st), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(SQLFetch(st), SQLRETURN(SQL_NO_DATA)); // cursor not closed yet on purpose
        QElapsedTimer t;
        t.start();
        b.exec("DROP TABLE \"TMP\"");
        b.exec("CREATE TABLE \"TMP\"(\"B\" DATE)");
        QVERIFY(t.elapsed() < 2000);
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }

    void nestedFixtureHasItsOwnFolder()
    {
        {
            DevDbFixture other;
            other.addUser("F", "u", "p");
            QCOMPARE(other.query("F", "u", "SELECT table_name FROM user_tables"), QList<QStringList>{});
            other.exec("F", "u", "CREATE TABLE \"ONLY_THERE\"(\"A\" NUMBER)");
        }
        QCOMPARE(db->query("F", "u", "SELECT table_name FROM user_tables WHERE table_name = 'ONLY_THERE'"),
                 QList<QStringList>{});
        QCOMPARE(db->query("F", "u", "SELECT COUNT(*) FROM user_tables WHERE table_name = 'ORDERS'"),
                 (QList<QStringList>{{"1"}}));
    }

    // Thousands of tables in one schema: creating them stays quick, the SQLite file keeps a fixed
    // set of schema objects (so opening it does not slow down), and lookups find the right one.
    void manyTablesAreQuick()
    {
        db->addUser("MANY", "u", "p");
        DevDbConnection c(DevDbFixture::connectionString("MANY", "u", "p"));
        const int count = 3000;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < count; ++i)
            c.exec(QString("CREATE TABLE \"T%1\"(\"ID\" NUMBER PRIMARY KEY, \"V%1\" VARCHAR2(%2))").arg(i).arg(i % 4000 + 1));
        const qint64 ms = t.elapsed();
        qInfo("%d CREATE TABLEs in %lld ms", count, ms);
        QVERIFY2(ms < 30000, "CREATE TABLE slows down with the number of tables");

        const QByteArray path = (db->dataDir() + "/MANY.db").toUtf8();
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(path.constData(), &raw), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        QVERIFY2(sqlite3_column_int(st, 0) < 20, "schema objects grow with the tables");
        sqlite3_finalize(st);
        sqlite3_close(raw);

        DevDbConnection other(DevDbFixture::connectionString("MANY", "u", "p"));
        other.exec("INSERT INTO \"T2999\" VALUES(1, 'x')");
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, other.exec("INSERT INTO \"T2999\" VALUES(1, 'y')"));
        other.exec("INSERT INTO \"T17\" VALUES(1, 'y')"); // keys are per table
        QCOMPARE(other.query("SELECT column_name, data_length FROM all_tab_columns WHERE  table_name = 'T1234' AND owner = USER "
                             "ORDER BY column_id"),
                 (QList<QStringList>{{"ID", "22"}, {"V1234", "1235"}}));
        QCOMPARE(other.query("SELECT COUNT(*) FROM user_tables"), (QList<QStringList>{{QString::number(count)}}));
        QCOMPARE(c.query("SELECT * FROM \"T2999\""), (QList<QStringList>{{"1", "x"}}));
        c.exec("DROP TABLE \"T17\"");
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, other.exec("INSERT INTO \"T17\" VALUES(2, 'z')"));
        c.exec("CREATE TABLE \"T17\"(\"ID\" NUMBER PRIMARY KEY)");
        other.exec("INSERT INTO \"T17\" VALUES(1)"); // the dropped table's rows and keys went with it
        QCOMPARE(other.query("SELECT * FROM \"T17\""), (QList<QStringList>{{"1"}}));
    }

    void manyInsertsAreQuick()
    {
        DevDbConnection c(cs());
        c.exec("CREATE TABLE \"BULK\"(\"ID\" NUMBER(10) PRIMARY KEY, \"NAME\" VARCHAR2(40), \"AT\" TIMESTAMP(6), \"AMOUNT\" NUMBER(12,2))");
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &st);
        const int count = 20000;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < count; ++i) {
            const QString sql = QString("INSERT INTO \"BULK\" VALUES(%1, 'name %1', {ts '2024-01-02 03:04:05.%2'}, %3.25)")
                                    .arg(i).arg(i % 1000000, 6, 10, QChar('0')).arg(i * 7);
            std::u16string w(reinterpret_cast<const char16_t*>(sql.utf16()), size_t(sql.size()));
            QVERIFY(SQL_SUCCEEDED(SQLExecDirectW(st, reinterpret_cast<SQLWCHAR*>(w.data()), SQLINTEGER(w.size()))));
        }
        const qint64 ms = t.elapsed();
        qInfo("%d single-row INSERTs in %lld ms (%.0f per second)", count, ms, count * 1000.0 / std::max<qint64>(ms, 1));
        QVERIFY2(ms < 10000, "INSERTs are too slow");
        QCOMPARE(c.query("SELECT COUNT(*) FROM \"BULK\""), (QList<QStringList>{{QString::number(count)}}));
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }
};

QTEST_GUILESS_MAIN(TstDevDbFaults)
#include "tst_devdb_faults.moc"
