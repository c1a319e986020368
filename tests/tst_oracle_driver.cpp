// Reaching the databases through whichever driver is installed: the stand-in registered under
// Microsoft's name, Oracle's own names, both, or none, and the connection strings it is given.
// The driver manager keeps a process's first ODBCSYSINI folder, so one fixture serves every case
// and each case registers the driver anew.
#include "devdb_fixture.h"
#include "oracle/connection.h"
#include "oracle/database_error.h"
#include "oracle/connection_profile.h"
#include "oracle/odbc_driver.h"
#include "page_harness.h"
#include "tableops/operations.h"

#include <QtTest>

using oracle::DatabaseSide;

namespace {
const QString kMicrosoft = "Microsoft ODBC for Oracle";
const QString kOracle21 = "Oracle 21 ODBC driver";
const QString kOracle19 = "Oracle 19 ODBC driver";
// A password that only survives braced, in either form.
const QString kBracedPassword = "hr;{p}";
} // namespace

class OracleDriverTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("DEMO1", "SCOTT", "tiger");
        db->addUser("DEMO2", "HR", kBracedPassword);
        db->addUser("DEMO3", "SCOTT", kBracedPassword);
        db->exec("DEMO1", "SCOTT", R"(CREATE TABLE "DEPT"("DEPTNO" NUMBER(2), "DNAME" VARCHAR2(14), "BORN" DATE))");
        db->exec("DEMO1", "SCOTT", R"(INSERT INTO "DEPT" VALUES(10, 'ACCOUNTING', {d '1981-06-09'}))");
        db->exec("DEMO1", "SCOTT", R"(INSERT INTO "DEPT" VALUES(20, 'R&D; {x}', NULL))");
    }

    void cleanup() { db->registerDriverAs({kMicrosoft}); }

    void reachesTheDatabase_data()
    {
        QTest::addColumn<QStringList>("registered");  // "name=libsqora": through a library named as Oracle's
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("connects");
        QTest::newRow("Microsoft's name: the string unchanged")
            << QStringList{kMicrosoft} << "" << "DEMO1" << "tiger"
            << "Driver={Microsoft ODBC for Oracle};Server=DEMO1;Uid=scott;Pwd=tiger;" << true;
        QTest::newRow("Oracle's name alone: DBQ") << QStringList{kOracle21} << "" << "DEMO1" << "tiger"
                                                  << "Driver={Oracle 21 ODBC driver};DBQ=DEMO1;Uid=scott;Pwd=tiger;" << true;
        QTest::newRow("both names: Microsoft's, unchanged")
            << QStringList{kOracle21, kMicrosoft} << "" << "DEMO1" << "tiger"
            << "Driver={Microsoft ODBC for Oracle};Server=DEMO1;Uid=scott;Pwd=tiger;" << true;
        QTest::newRow("two of Oracle's: the higher version") << QStringList{kOracle19, kOracle21} << "" << "DEMO1" << "tiger"
                                                             << "Driver={Oracle 21 ODBC driver};DBQ=DEMO1;Uid=scott;Pwd=tiger;"
                                                             << true;
        QTest::newRow("asked for by name") << QStringList{kOracle19, kOracle21, kMicrosoft} << kOracle19 << "DEMO1" << "tiger"
                                           << "Driver={Oracle 19 ODBC driver};DBQ=DEMO1;Uid=scott;Pwd=tiger;" << true;
        QTest::newRow("braced values, Oracle's") << QStringList{kOracle21} << "" << "DEMO3" << kBracedPassword
                                                 << "Driver={Oracle 21 ODBC driver};DBQ=DEMO3;Uid=scott;Pwd={hr;{p}}};" << true;
        QTest::newRow("Easy Connect") << QStringList{kOracle21} << "" << "dbhost:1521/DEMO1" << "tiger"
                                      << "Driver={Oracle 21 ODBC driver};DBQ=dbhost:1521/DEMO1;Uid=scott;Pwd=tiger;" << true;
        QTest::newRow("Easy Connect, //") << QStringList{kOracle21} << "" << "//dbhost:1521/DEMO1" << "tiger"
                                          << "Driver={Oracle 21 ODBC driver};DBQ=//dbhost:1521/DEMO1;Uid=scott;Pwd=tiger;"
                                          << true;
        QTest::newRow("no driver: the open fails") << QStringList{} << "" << "DEMO1" << "tiger"
                                                   << "Driver={Microsoft ODBC for Oracle};Server=DEMO1;Uid=scott;Pwd=tiger;"
                                                   << false;
        QTest::newRow("Oracle's library under Microsoft's name: DBQ") << QStringList{kMicrosoft + "=libsqora"} << "" << "DEMO1"
            << "tiger" << "Driver={Microsoft ODBC for Oracle};DBQ=DEMO1;Uid=scott;Pwd=tiger;" << true;
        QTest::newRow("... beside Oracle's own entry: that one") << QStringList{kMicrosoft + "=libsqora", kOracle21} << ""
            << "DEMO1" << "tiger" << "Driver={Oracle 21 ODBC driver};DBQ=DEMO1;Uid=scott;Pwd=tiger;" << true;
    }
    void reachesTheDatabase()
    {
        QFETCH(QStringList, registered);
        QFETCH(QString, requested);
        QFETCH(QString, sid);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        QFETCH(bool, connects);
        QStringList names, oracleLibrary;
        for (const QString& entry : registered)
            (entry.endsWith("=libsqora") ? oracleLibrary : names) << entry.section('=', 0, 0);
        db->registerDriverAs(names, oracleLibrary);
        db->startConnectionTrace();
        const QString connectionString = oracle::DriverRoute(requested).connectionString({sid, "scott", password});
        QCOMPARE(connectionString, expected);
        QCOMPARE(oracle::TestConnection(connectionString), connects);
        // What the driver was given, when a driver was reached at all.
        QCOMPARE(db->tracedConnections(), registered.isEmpty() ? QStringList() : QStringList{expected});
    }

    // Oracle's own driver knows no Server=: without DBQ= it cannot tell which database is meant.
    void oracleDriverWithoutDbqFails()
    {
        db->registerDriverAs({kOracle21});
        oracle::Connection connection;
        try {
            connection.open("Driver={Oracle 21 ODBC driver};Server=DEMO1;Uid=scott;Pwd=tiger;");
            QFAIL("opened without DBQ=");
        } catch (const oracle::DatabaseError& error) {
            QVERIFY2(error.text().contains("ORA-12162"), qPrintable(error.text()));
        }
    }

    // The stand-in as the only driver, under Oracle's name: both lists read and a table copied value
    // for value, with a password that only survives braced.
    void copiesThroughOracleDriver()
    {
        db->registerDriverAs({kOracle21});
        PageHarness page;
        page.profile1 = {"dbhost:1521/DEMO1", "scott", "tiger"};
        page.profile2 = {"DEMO2", "hr", kBracedPassword};
        tableops::FillTableList(page.list1, page.context().connectionString(DatabaseSide::One), page.pump);
        tableops::FillTableList(page.list2, page.context().connectionString(DatabaseSide::Two), page.pump);
        QCOMPARE(page.list1.names(), QStringList{"DEPT"});
        QCOMPARE(page.list2.names(), QStringList());
        page.list1.select({"DEPT"});
        page.run("Form2.PushButton3_Click", [](auto& trap, auto context) {
            tableops::SendTables(trap, context, DatabaseSide::One, DatabaseSide::Two);
        });
        QCOMPARE(page.dialogs.kinds(), QStringList());
        QCOMPARE(page.list2.names(), QStringList{"DEPT"});
        db->registerDriverAs({kMicrosoft});  // the fixture's own connections use Microsoft's name
        const QString rows = R"(SELECT "DEPTNO", "DNAME", "BORN" FROM "DEPT" ORDER BY "DEPTNO")";
        QCOMPARE(db->query("DEMO2", "HR", rows), db->query("DEMO1", "SCOTT", rows));
    }
};

QTEST_GUILESS_MAIN(OracleDriverTest)
#include "tst_oracle_driver.moc"
