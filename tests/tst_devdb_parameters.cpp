// Bound parameters through the stand-in driver: arrays of rows that stop at a failing row,
// transactions that really end, long values sent at execution, fault rules and the trace seeing
// bound rows as literals, the latency of round trips, and the marker that refuses arrays.
#include "devdb_fixture.h"

#include <QtTest>

#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <optional>
#include <thread>

class TstDevDbParameters : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    int tables = 0;

    static QString cs() { return DevDbFixture::connectionString("P", "u", "p"); }
    QString newTable(DevDbConnection& c, const QString& columns)
    {
        const QString name = QString("T%1").arg(++tables);
        c.exec(QString("CREATE TABLE \"%1\"(%2)").arg(name, columns));
        return name;
    }

    struct Stmt {
        SQLHSTMT h = nullptr;
        explicit Stmt(DevDbConnection& c) { SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &h); }
        ~Stmt() { SQLFreeHandle(SQL_HANDLE_STMT, h); }
    };

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("P", "u", "p");
    }
    void cleanup() { db->clearFaults(); }

    void arrayStopsAtTheFailingRow_data()
    {
        QTest::addColumn<bool>("autocommit");
        QTest::newRow("autocommit on") << true;
        QTest::newRow("autocommit off") << false;
    }
    void arrayStopsAtTheFailingRow()
    {
        QFETCH(bool, autocommit);
        DevDbConnection c(cs()), other(cs());
        const QString t = newTable(c, "\"ID\" NUMBER PRIMARY KEY, \"T\" VARCHAR2(10)");
        c.setAutocommit(autocommit);
        QList<int> statuses;
        qulonglong processed = 0;
        const QString error = c.execArray("INSERT INTO \"" + t + "\" VALUES(?, ?)",
                                          {{"1", "a"}, {"2.0", ""}, {"2", "c"}, {"4", "d"}}, &statuses, &processed);
        QVERIFY2(error.contains("ORA-00001: unique constraint"), qPrintable(error));
        QCOMPARE(statuses, (QList<int>{SQL_PARAM_SUCCESS, SQL_PARAM_SUCCESS, SQL_PARAM_ERROR, SQL_PARAM_UNUSED}));
        QCOMPARE(processed, qulonglong(3));
        // Under autocommit an array is all or nothing; without, its rows wait in the transaction.
        const QString count = "SELECT COUNT(*) FROM \"" + t + "\"";
        QCOMPARE(c.query(count), (QList<QStringList>{{autocommit ? "0" : "2"}}));
        c.commit();
        QCOMPARE(other.query("SELECT * FROM \"" + t + "\" ORDER BY \"ID\""),
                 autocommit ? QList<QStringList>{} : (QList<QStringList>{{"1", "a"}, {"2", {}}}));
    }

    // A rollback undoes, DDL and turning autocommit on commit, a closed connection leaves
    // nothing, and another connection waits for the transaction instead of failing.
    void transactionsEnd()
    {
        DevDbConnection c(cs()), other(cs());
        const QString t = newTable(c, "\"ID\" NUMBER");
        const QString ids = "SELECT \"ID\" FROM \"" + t + "\" ORDER BY \"ID\"";
        c.setAutocommit(false);
        c.exec("INSERT INTO \"" + t + "\" VALUES(1)");
        QCOMPARE(other.query(ids), QList<QStringList>{});
        c.rollback();
        QCOMPARE(c.query(ids), QList<QStringList>{});
        c.exec("INSERT INTO \"" + t + "\" VALUES(2)");
        newTable(c, "\"X\" NUMBER");
        c.rollback();
        c.exec("INSERT INTO \"" + t + "\" VALUES(3)");
        c.exec("DELETE FROM \"" + t + "\" WHERE \"ID\" = 2");
        QCOMPARE(other.query(ids), (QList<QStringList>{{"2"}}));
        c.setAutocommit(true);
        QCOMPARE(other.query(ids), (QList<QStringList>{{"3"}}));
        std::optional<DevDbConnection> closed(std::in_place, cs());
        closed->setAutocommit(false);
        closed->exec("INSERT INTO \"" + t + "\" VALUES(4)");
        closed.reset();
        c.setAutocommit(false);
        c.exec("INSERT INTO \"" + t + "\" VALUES(5)");
        std::thread later([&] { QThread::msleep(300); c.commit(); });
        other.exec("INSERT INTO \"" + t + "\" VALUES(6)");
        later.join();
        QCOMPARE(other.query(ids), (QList<QStringList>{{"3"}, {"5"}, {"6"}}));
    }

    void dataAtExecution_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("text");
        for (const char* type : {"CLOB", "NCLOB", "LONG"}) QTest::newRow(type) << type << true;
        for (const char* type : {"BLOB", "LONG RAW"}) QTest::newRow(type) << type << false;
    }
    // A 1 MB value goes in pieces (a text's pieces splitting surrogate pairs) and is read back
    // whole, in the fixture's small pieces.
    void dataAtExecution()
    {
        QFETCH(QString, type);
        QFETCH(bool, text);
        DevDbConnection c(cs());
        const QString t = newTable(c, "\"V\" " + type);
        QString expected; // as read back: the text, or the bytes in hexadecimal
        QByteArray value;
        while (text && expected.size() < 512 * 1024) expected += QString::fromUtf8("ab\U0001F600\u0436");
        for (int i = 0; !text && i < (1 << 20); ++i) value += char(i * 7 + i / 251);
        value = text ? QByteArray(reinterpret_cast<const char*>(expected.utf16()), expected.size() * 2) : value;
        expected = text ? expected : QString::fromLatin1(value.toHex().toUpper());
        Stmt in(c);
        QVERIFY(SQL_SUCCEEDED(SQLPrepare(in.h, (SQLCHAR*)("INSERT INTO \"" + t + "\" VALUES(?)").toUtf8().data(), SQL_NTS)));
        SQLLEN atExecution = SQL_LEN_DATA_AT_EXEC(0);
        SQLBindParameter(in.h, 1, SQL_PARAM_INPUT, text ? SQL_C_WCHAR : SQL_C_BINARY, text ? SQL_WLONGVARCHAR : SQL_LONGVARBINARY,
                         0, 0, reinterpret_cast<SQLPOINTER>(7), 0, &atExecution);
        QCOMPARE(SQLExecute(in.h), SQLRETURN(SQL_NEED_DATA));
        SQLPOINTER token = nullptr;
        QCOMPARE(SQLParamData(in.h, &token), SQLRETURN(SQL_NEED_DATA));
        QCOMPARE(token, reinterpret_cast<SQLPOINTER>(7));
        for (qsizetype at = 0; at < value.size(); at += 4094) // 2047 units: pairs fall across pieces
            QCOMPARE(SQLPutData(in.h, value.data() + at, std::min<SQLLEN>(4094, value.size() - at)), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(SQLParamData(in.h, &token), SQLRETURN(SQL_SUCCESS));
        QVERIFY(c.query("SELECT \"V\" FROM \"" + t + "\"") == QList<QStringList>{{expected}});
    }

    // A rule refuses the row whose values, written in as literals, match it; each row of an
    // array counts once. The trace shows every row so, and the transaction's end.
    void faultRuleAndTraceSeeRowsAsLiterals()
    {
        db->startTrace();
        db->addFault("2|INSERT INTO \"F\" VALUES('3', 'O''Brien'|HY000|ORA-02290: check constraint (U.CK) violated");
        DevDbConnection c(cs());
        c.exec("CREATE TABLE \"F\"(\"ID\" NUMBER, \"NAME\" VARCHAR2(20))");
        c.exec("CREATE TABLE \"G\"(\"AT\" TIMESTAMP(3), \"D\" DATE, \"R\" RAW(4))");
        c.setAutocommit(false);
        QList<int> statuses;
        const QString error = c.execArray("INSERT INTO \"F\" VALUES(?, ?)",
                                          {{"3", "O'Brien"}, {"4", {}}, {"3", "O'Brien"}, {"5", "z"}}, &statuses);
        QCOMPARE(error, QString("[devdb][Oracle]ORA-02290: check constraint (U.CK) violated"));
        QCOMPARE(statuses, (QList<int>{SQL_PARAM_SUCCESS, SQL_PARAM_SUCCESS, SQL_PARAM_ERROR, SQL_PARAM_UNUSED}));
        Stmt st(c);
        SQL_TIMESTAMP_STRUCT at{2024, 1, 2, 3, 4, 5, 123456789};
        unsigned char raw[] = {0x01, 0xFF};
        SQLLEN atLength = sizeof at, rawLength = 2;
        SQLBindParameter(st.h, 1, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 29, 9, &at, 0, &atLength);
        SQLBindParameter(st.h, 2, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 29, 9, &at, 0, &atLength);
        SQLBindParameter(st.h, 3, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_VARBINARY, 4, 0, raw, 2, &rawLength);
        QVERIFY(SQL_SUCCEEDED(SQLExecDirect(st.h, (SQLCHAR*)"INSERT INTO \"G\" VALUES(?, ?, ?)", SQL_NTS)));
        c.commit();
        QCOMPARE(c.query("SELECT * FROM \"G\""), (QList<QStringList>{{"2024-01-02 03:04:05.123", "2024-01-02 03:04:05", "01FF"}}));
        QCOMPARE(db->tracedStatements().mid(2, 6),
                 (QStringList{"P|INSERT INTO \"F\" VALUES('3', 'O''Brien')", "P|INSERT INTO \"F\" VALUES('4', '')",
                              "P|INSERT INTO \"F\" VALUES('3', 'O''Brien')",
                              "P|INSERT INTO \"G\" VALUES({ts '2024-01-02 03:04:05.123'}, {ts '2024-01-02 03:04:05'}, '01FF')",
                              "P|COMMIT", "P|SELECT * FROM \"G\""}));
    }

    // One wait for connecting, for each execute whatever its rows, for a commit, and for each
    // block of fetched rows (up to 100): here 1 + 1 + 1 + 1 + 1 + 3.
    void latencyPerRoundTrip()
    {
        db->setLatency(100);
        QElapsedTimer timer;
        timer.start();
        DevDbConnection c(cs());
        c.exec("CREATE TABLE \"LAT\"(\"ID\" NUMBER)");
        c.setAutocommit(false);
        QCOMPARE(c.execArray("INSERT INTO \"LAT\" VALUES(?)", QList<QStringList>(250, {"1"})), QString());
        c.commit();
        QCOMPARE(c.query("SELECT * FROM \"LAT\"").size(), 250);
        const qint64 ms = timer.elapsed();
        db->setLatency(0);
        QVERIFY2(ms >= 800 && ms < 1600, qPrintable(QString("%1 ms").arg(ms)));
    }

    void noArraysMarker()
    {
        db->setNoArrays(true);
        DevDbConnection c(cs());
        db->setNoArrays(false);
        Stmt st(c);
        QCOMPARE(SQLSetStmtAttr(st.h, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(10), 0), SQLRETURN(SQL_SUCCESS_WITH_INFO));
        QVERIFY(DevDbConnection::diagnostics(SQL_HANDLE_STMT, st.h).contains("Option value changed"));
        SQLULEN size = 0;
        SQLGetStmtAttr(st.h, SQL_ATTR_PARAMSET_SIZE, &size, 0, nullptr);
        QCOMPARE(size, SQLULEN(1));
    }

    // Arrays of 1,000 rows with a commit each are far quicker than one literal INSERT a row.
    void arraysAreQuick()
    {
        DevDbConnection c(cs());
        const QString t = newTable(c, "\"ID\" NUMBER(10) PRIMARY KEY, \"NAME\" VARCHAR2(40)");
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= 10000; ++i) c.exec(QString("INSERT INTO \"%1\" VALUES(-%2, 'name %2')").arg(t).arg(i));
        const qint64 literal = timer.restart();
        c.setAutocommit(false);
        QList<QStringList> rows;
        for (int i = 0; i < 100000; ++i) {
            rows << QStringList{QString::number(i), "name " + QString::number(i)};
            if (rows.size() < 1000) continue;
            QCOMPARE(c.execArray("INSERT INTO \"" + t + "\" VALUES(?, ?)", rows), QString());
            c.commit();
            rows.clear();
        }
        qInfo("10,000 literal INSERTs in %lld ms; 100,000 rows in arrays in %lld ms", literal, timer.elapsed());
        QVERIFY2(timer.elapsed() < 10 * literal, "rows through arrays are slower than literal INSERTs");
    }
};

QTEST_GUILESS_MAIN(TstDevDbParameters)
#include "tst_devdb_parameters.moc"
