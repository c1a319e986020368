// The database layer through unixODBC and the stand-in driver: connections, result sets,
// exact values, the driver's own error texts, and the table catalogue.
#include "devdb_fixture.h"
#include "oracle/connection.h"
#include "oracle/connection_profile.h"
#include "oracle/database_error.h"
#include "tableops/operations.h"
#include "plain_controls.h"

#include <QtTest>
#include <sql.h>
#include <sqlext.h>

using namespace oracle;

class DatabaseAccessTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    QString scott() const { return DevDbFixture::connectionString("DEMO1", "scott", "tiger"); }

    static QString failureOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const DatabaseError& error) {
            return error.text();
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("DEMO1", "scott", "tiger");
        db->addUser("DEMO1", "hr", "hr");
        db->addUser("DEMO2", "scott", "pa;ss");
        db->exec("DEMO1", "scott",
                 R"(CREATE TABLE "VALS"("N" NUMBER, "P" NUMBER(10,2), "S" VARCHAR2(20), "D" DATE, "TS" TIMESTAMP(6), "R" RAW(8), "B" BOOLEAN))");
        db->exec("DEMO1", "scott",
                 R"(INSERT INTO "VALS" VALUES('12345678901234567890123456789012345678', '2.5', 'Ωmega ''q'' \x', {ts '2024-02-29 23:59:58'}, {ts '2024-01-02 03:04:05.123456'}, '00FF10', 1))");
        db->exec("DEMO1", "scott", R"(INSERT INTO "VALS" VALUES('', '', '', '', '', '', ''))");
    }

    void connectOutcomes()
    {
        Connection good;
        good.open(scott());
        QVERIFY(good.isOpen());
        good.close();
        QVERIFY(!good.isOpen());

        const QString wrongPassword = failureOf([] {
            Connection c;
            c.open(DevDbFixture::connectionString("DEMO1", "scott", "lion"));
        });
        QVERIFY2(wrongPassword.contains("ORA-01017: invalid username/password; logon denied"), qPrintable(wrongPassword));
        const QString unknownSid = failureOf([] {
            Connection c;
            c.open(DevDbFixture::connectionString("NOSUCH", "scott", "tiger"));
        });
        QVERIFY2(unknownSid.contains("ORA-12154"), qPrintable(unknownSid));
    }

    void testConnectionAnswersQuietly()
    {
        QVERIFY(TestConnection(scott()));
        QVERIFY(TestConnection(BuildConnectionString({"DEMO1", "SCOTT", "tiger"})));
        QVERIFY(!TestConnection(BuildConnectionString({"DEMO1", "scott", "TIGER"})));
        QVERIFY(!TestConnection(BuildConnectionString({"", "", ""})));
        // A password holding ";" logs in: it is braced, not split.
        QVERIFY(TestConnection(BuildConnectionString({"DEMO2", "scott", "pa;ss"})));
    }

    void valuesComeBackExactly()
    {
        Connection connection;
        connection.open(scott());
        ResultSet rows = connection.execute(R"(SELECT * FROM "VALS")");
        QCOMPARE(rows.fieldCount(), 7);
        QCOMPARE(rows.column(0).name, QString("N"));
        QCOMPARE(rows.column(3).sqlType, short(SQL_TYPE_TIMESTAMP));
        QCOMPARE(rows.column(4).sqlType, short(SQL_TYPE_TIMESTAMP));
        QCOMPARE(rows.column(6).sqlType, short(SQL_BIT));
        QVERIFY(!rows.eof());
        QCOMPARE(rows.value(0).text, QString("12345678901234567890123456789012345678"));
        QCOMPARE(rows.value(1).text, QString("2.5"));
        QCOMPARE(rows.value(2).text, QString("Ωmega 'q' \\x"));
        QCOMPARE(rows.value(3).text, QString("2024-02-29 23:59:58"));
        QCOMPARE(rows.value(4).text, QString("2024-01-02 03:04:05.123456"));
        QCOMPARE(rows.value(5), FieldValue::fromBytes(QByteArray("\x00\xFF\x10", 3)));
        QCOMPARE(rows.value(6), FieldValue::fromBoolean(true));
        QCOMPARE(rows.recordCount(), -1LL);
        rows.moveNext();
        for (int i = 0; i < 7; ++i)
            QVERIFY2(rows.value(i).isNull(), qPrintable(QString("column %1").arg(i)));
        rows.moveNext();
        QVERIFY(rows.eof());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.moveNext());
        rows.close();
        QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.eof());
    }

    void longTextsArriveWhole()
    {
        const QString text = QString("ü日").repeated(3000);
        db->exec("DEMO1", "scott", R"(CREATE TABLE "LONGTEXT"("C" CLOB))");
        db->exec("DEMO1", "scott", "INSERT INTO \"LONGTEXT\" VALUES('" + text + "')");
        Connection connection;
        connection.open(scott());
        ResultSet rows = connection.execute(R"(SELECT * FROM "LONGTEXT")");
        QCOMPARE(rows.value(0).text, text);
    }

    void clientCursorCountsRows()
    {
        Connection connection;
        connection.setCursorLocation(CursorLocation::Client);
        connection.open(scott());
        ResultSet rows = connection.execute(R"(SELECT * FROM "VALS")");
        QCOMPARE(rows.recordCount(), 2LL);
        QVERIFY(!rows.eof());
        rows.moveNext();
        rows.moveNext();
        QVERIFY(rows.eof());
    }

    void statementsAndFailures()
    {
        Connection connection;
        connection.open(scott());
        QVERIFY(!connection.execute(R"(CREATE TABLE "T1"("A" NUMBER))").isOpen());
        const QString missing = failureOf([&] { connection.execute(R"(SELECT * FROM "NOPE")"); });
        QVERIFY2(missing.contains("ORA-00942: table or view does not exist"), qPrintable(missing));
        const QString closed = failureOf([] { Connection never; never.execute("SELECT table_name FROM user_tables"); });
        QVERIFY(!closed.isEmpty());
        connection.execute(R"(DROP TABLE "T1")");
    }

    void injectedFailureArrivesAsTheDriversText()
    {
        db->exec("DEMO1", "scott", R"(CREATE TABLE "INJ"("A" NUMBER))");
        db->addFault(R"(2|INSERT INTO "INJ"|HY000|ORA-00001: unique constraint (SCOTT.PK_INJ) violated)");
        Connection connection;
        connection.open(scott());
        connection.execute(R"(INSERT INTO "INJ" VALUES('1'))");
        const QString text = failureOf([&] { connection.execute(R"(INSERT INTO "INJ" VALUES('2'))"); });
        QVERIFY2(text.contains("ORA-00001: unique constraint (SCOTT.PK_INJ) violated"), qPrintable(text));
        connection.execute(R"(INSERT INTO "INJ" VALUES('3'))");
        db->clearFaults();

        db->addFault("2+|*|08S01|ORA-03113: end-of-file on communication channel");
        Connection lost;
        lost.open(scott());
        lost.execute(R"(INSERT INTO "INJ" VALUES('4'))");
        try {
            lost.execute(R"(INSERT INTO "INJ" VALUES('5'))");
            QFAIL("the statement should have failed");
        } catch (const DatabaseError& error) {
            QVERIFY(error.reach() == platform::FailureReach::Operation);
            QVERIFY(error.text().contains("ORA-03113"));
        }
        db->clearFaults();
        QCOMPARE(db->query("DEMO1", "scott", R"(SELECT COUNT(*) FROM "INJ")"), QList<QStringList>{{"3"}});
    }

    void catalogueFillsSortedAndKeepsTheListOnFailure()
    {
        db->exec("DEMO1", "hr", R"(CREATE TABLE "zeta"("A" NUMBER))");
        db->exec("DEMO1", "hr", R"(CREATE TABLE "Alpha b"("A" NUMBER))");
        db->exec("DEMO1", "hr", R"(CREATE TABLE "MIDDLE"("A" NUMBER))");
        PlainTableList list({"OLD"});
        CountingPump pump;
        tableops::FillTableList(list, DevDbFixture::connectionString("DEMO1", "hr", "hr"), pump);
        QCOMPARE(list.names(), QStringList({"Alpha b", "MIDDLE", "zeta"}));
        QCOMPARE(pump.yields, 3);

        QVERIFY_THROWS_EXCEPTION(DatabaseError, tableops::FillTableList(list, DevDbFixture::connectionString("DEMO1", "hr", "bad"), pump));
        QCOMPARE(list.names(), QStringList({"Alpha b", "MIDDLE", "zeta"}));

        db->addUser("DEMO1", "empty", "e");
        tableops::FillTableList(list, DevDbFixture::connectionString("DEMO1", "empty", "e"), pump);
        QCOMPARE(list.count(), 0);
    }
};

QTEST_GUILESS_MAIN(DatabaseAccessTest)
#include "tst_database_access.moc"
