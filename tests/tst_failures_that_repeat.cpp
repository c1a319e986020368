// Failures that would repeat for every remaining row or table end after one report: a target
// without space, a connection that is gone whatever SQLSTATE says so, and running out of memory.
// A row the database refuses on its own merits is still reported and skipped; the same error again
// in the same table is counted and told once at the table's end.
#include "devdb_fixture.h"
#include "fresh_databases.h"
#include "page_harness.h"
#include "tableops/operations.h"

#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <new>

// Allocations from this size on fail while a test asks for it, so running out of memory can be
// tried for real. Every operator new of the process comes here.
namespace {
std::atomic<std::size_t> failAllocationsFrom{0};
}

void* operator new(std::size_t size)
{
    const std::size_t limit = failAllocationsFrom.load();
    if (limit != 0 && size >= limit)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

using oracle::DatabaseSide;

class FailuresThatRepeatTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    std::unique_ptr<PageHarness> page;
    int round = 0;
    QString sid1, sid2;

    void exec1(const QString& sql) { db->exec(sid1, "SCOTT", sql); }
    QString count2(const QString& table)
    {
        return db->query(sid2, "HR", QString(R"(SELECT COUNT(*) FROM "%1")").arg(table)).value(0).value(0);
    }
    void makeTable(const QString& name, int rows)
    {
        exec1(QString(R"(CREATE TABLE "%1"("X" NUMBER))").arg(name));
        for (int i = 0; i < rows; ++i)
            exec1(QString(R"(INSERT INTO "%1" VALUES('%2'))").arg(name).arg(i));
    }
    void sendToSide2(const QStringList& names)
    {
        page->list1 = PlainTableList(names);
        page->list1.select(names);
        page->run("Form2.PushButton3_Click", [](auto& trap, auto context) {
            tableops::SendTables(trap, context, DatabaseSide::One, DatabaseSide::Two);
        });
    }
    // The run came to its normal end, whatever ended it early.
    void expectRunEnded()
    {
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
        QCOMPARE(page->progress.values.last(), 0);
        QCOMPARE(page->progress.texts, QStringList{"Progress Bar"});
    }

private slots:
    void initTestCase() { db = std::make_unique<DevDbFixture>(); }

    void init()
    {
        page = std::make_unique<PageHarness>();
        std::tie(sid1, sid2) = LogInToFreshDatabases(*db, *page, QString("REP%1").arg(++round));
    }

    void fullTargetEndsTheTableAndTheRunGoesOn()
    {
        makeTable("BIG", 200);
        makeTable("AFTER", 3);
        db->addFault(R"(61+|INSERT INTO "BIG"|HY000|ORA-01653: unable to extend table HR.BIG by 128 in tablespace USERS)");
        sendToSide2({"AFTER", "BIG"});  // BIG, the bottom entry, goes first
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 280"});
        QVERIFY(page->dialogs.errors()[0].contains("ORA-01653"));
        QCOMPARE(count2("BIG"), QString("60"));
        QCOMPARE(count2("AFTER"), QString("3"));
        QCOMPARE(page->list2.names(), QStringList({"AFTER", "BIG"}));
        expectRunEnded();
    }

    void everyTableTellsByItselfWhetherSpaceCameBack_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("quota") << "ORA-01536: space quota exceeded for tablespace 'USERS'";
        QTest::newRow("archiver stuck") << "ORA-00257: archiver error. Connect internal only, until freed.";
        QTest::newRow("undo") << "ORA-30036: unable to extend segment by 8 in undo tablespace 'UNDOTBS1'";
        QTest::newRow("log not archived") << "ORA-16038: log 1 sequence# 42 cannot be archived";
        QTest::newRow("no quota on the tablespace") << "ORA-01950: no privileges on tablespace 'USERS'";
        QTest::newRow("free edition's size cap")
            << "ORA-12953: The request exceeds the maximum allowed database size of 12 GB.";
        QTest::newRow("most extents reached") << "ORA-01631: max # extents (505) reached in table HR.THREE";
    }
    void everyTableTellsByItselfWhetherSpaceCameBack()
    {
        QFETCH(QString, message);
        makeTable("ONE", 10);
        makeTable("TWO", 10);
        makeTable("THREE", 10);
        // Full after 15 rows in all, for every later insert of the run.
        db->addFault("16+|INSERT INTO|HY000|" + message);
        sendToSide2({"ONE", "THREE", "TWO"});
        // TWO copies whole, THREE fills up after five rows, ONE fails at its first: one report each.
        QCOMPARE(page->dialogs.errorPlaces(), QStringList(2, "Form2.PushButton3_Click at line 280"));
        QCOMPARE(count2("TWO"), QString("10"));
        QCOMPARE(count2("THREE"), QString("5"));
        QCOMPARE(count2("ONE"), QString("0"));
        QCOMPARE(page->list2.names(), QStringList({"ONE", "THREE", "TWO"}));
        expectRunEnded();
    }

    void lostConnectionUnderAnyStateEndsTheRun_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("message");
        QTest::newRow("not connected, driver's own state") << "HY000" << "ORA-03114: not connected to ORACLE";
        QTest::newRow("lost contact") << "HY000" << "ORA-03135: connection lost contact";
        QTest::newRow("idle time") << "HY000" << "ORA-02396: exceeded maximum idle time, please connect again";
        QTest::newRow("not logged on") << "S1000" << "ORA-01012: not logged on";
        QTest::newRow("end of file, connection state") << "08S01" << "ORA-03113: end-of-file on communication channel";
        QTest::newRow("session ended by a fatal error") << "HY000" << "ORA-00603: ORACLE server session terminated by fatal error";
        QTest::newRow("lost contact, TNS") << "HY000" << "ORA-12547: TNS:lost contact";
        QTest::newRow("call cannot be replayed") << "HY000" << "ORA-25408: can not safely replay call";
    }
    void lostConnectionUnderAnyStateEndsTheRun()
    {
        QFETCH(QString, state);
        QFETCH(QString, message);
        makeTable("BIG", 200);
        makeTable("AFTER", 3);
        db->addFault(QString(R"(5+|INSERT INTO|%1|%2)").arg(state, message));
        sendToSide2({"AFTER", "BIG"});
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 280"});
        QCOMPARE(count2("BIG"), QString("4"));
        QVERIFY(!db->query(sid2, "HR", "SELECT table_name FROM user_tables").contains(QStringList{"AFTER"}));
        QCOMPARE(page->list2.names(), QStringList{"BIG"});
        expectRunEnded();
    }

    // The bar's count says how many rows are in, also beside the refused row's box.
    void refusedRowAmongGoodOnesIsSkippedAlone()
    {
        makeTable("ROWS", 300);
        db->addFault(R"(100|INSERT INTO "ROWS"|HY000|ORA-00001: unique constraint (HR.PK_ROWS) violated)");
        QString besideTheBox;
        page->dialogs.onShow = [&](const ScriptedDialogs::Shown&) { besideTheBox = page->progress.work.last(); };
        sendToSide2({"ROWS"});
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 280"});
        QCOMPARE(besideTheBox, QString("ROWS: 99 of 300 rows"));
        QCOMPARE(page->progress.work.last(), QString("ROWS: 299 of 300 rows"));
        QCOMPARE(count2("ROWS"), QString("299"));
        expectRunEnded();
    }

    // Rows refused one after another for the same reason give one box for the error and, at the
    // table's end, one saying how many more rows failed with it; another error has its own box, the
    // other rows are still tried, and the next table reports afresh.
    void repeatedErrorIsShownOnceAndCounted()
    {
        makeTable("ROWS", 10);
        makeTable("NEXT", 3);
        db->addFault(R"(3|INSERT INTO "ROWS"|23000|ORA-00001: unique constraint (HR.PK_ROWS) violated)");
        db->addFault(R"(2+|INSERT INTO "ROWS"|HY000|ORA-01722: invalid number)");
        db->addFault(R"(1|INSERT INTO "NEXT"|HY000|ORA-01722: invalid number)");
        sendToSide2({"NEXT", "ROWS"});  // ROWS, the bottom entry, goes first
        QCOMPARE(page->dialogs.errorPlaces(), QStringList(3, "Form2.PushButton3_Click at line 280"));
        const QStringList errors = page->dialogs.errors();
        QVERIFY(errors[0].startsWith("[devdb][Oracle]ORA-01722: invalid number\r\n"));
        QVERIFY(errors[1].startsWith("[devdb][Oracle]ORA-00001"));
        QVERIFY(errors[2].startsWith("[devdb][Oracle]ORA-01722: invalid number\r\n"));
        QCOMPARE(page->dialogs.kinds(), QStringList({"error", "error", "information", "error"}));
        QCOMPARE(page->dialogs.texts("information"),
                 QStringList{"7 more rows of ROWS failed with ORA-01722, the same error number as a row reported before."
                             "\r\n\r\nThe journal lists each error's own text with how often it came."});
        QCOMPARE(count2("ROWS"), QString("1"));
        QCOMPARE(count2("NEXT"), QString("2"));
        QCOMPARE(page->progress.values.mid(0, 10), QList<int>({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
        expectRunEnded();
    }

    // Rows refused with one error number but texts of their own (a column each) are counted under
    // the number, never under the first row's text; rows whose errors have no number stop giving
    // boxes after a few. The journal keeps every text with its count.
    void closingBoxCountsWhatWasNotShown_data()
    {
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QString>("journal");
        QTest::newRow("one number, two columns") << true << 1
            << "19 more rows of T1 failed with ORA-12899, the same error number as a row reported before."
            << R"x(errors: "[devdb][Oracle]ORA-12899: value too large for column "HR"."T1"."K" (actual: 5, maximum: 3)" 10 times, )x"
               R"x("[devdb][Oracle]ORA-12899: value too large for column "HR"."T1"."V" (actual: 5, maximum: 3)" 10 times)x";
        QTest::newRow("texts of their own, no number") << false << 3
            << "22 more rows of T1 failed with other errors, not shown one by one."
            << R"("[devdb]row 20 refused by its trigger" once, other texts 5 times)";
    }
    void closingBoxCountsWhatWasNotShown()
    {
        QFETCH(bool, numbered);
        QFETCH(int, boxes);
        QFETCH(QString, closing);
        QFETCH(QString, journal);
        exec1(R"(CREATE TABLE "T1"("K" VARCHAR2(5), "V" VARCHAR2(5)))");
        for (int i = 0; i < (numbered ? 20 : 25); ++i)
            exec1(QString(R"(INSERT INTO "T1" VALUES('%1', '%2'))").arg(i < 10 ? "kkkkk" : "k", i < 10 ? "v" : "vvvvv"));
        const QString tooLarge = R"x(|HY000|ORA-12899: value too large for column "HR"."T1"."%1" (actual: 5, maximum: 3))x";
        if (numbered) {
            db->addFault(R"(1+|INSERT INTO "T1" VALUES('kkkkk')" + tooLarge.arg("K"));
            db->addFault(R"(1+|INSERT INTO "T1" VALUES('k', 'vvvvv')" + tooLarge.arg("V"));
        }
        for (int i = 1; !numbered && i <= 25; ++i)
            db->addFault(QString(R"(%1|INSERT INTO "T1"|HY000|row %1 refused by its trigger)").arg(i));
        sendToSide2({"T1"});
        QCOMPARE(page->dialogs.errors().size(), boxes);
        QCOMPARE(page->dialogs.texts("information"),
                 QStringList{closing + "\r\n\r\nThe journal lists each error's own text with how often it came."});
        QVERIFY2(page->journal.lines.last().endsWith(journal), qPrintable(page->journal.lines.last()));
        expectRunEnded();
    }

    void windowClosedDuringAReportEndsTheRunAfterIt()
    {
        makeTable("ROWS", 20);
        makeTable("AFTER", 3);
        db->addFault(R"(3|INSERT INTO "ROWS"|HY000|ORA-01722: invalid number)");
        page->dialogs.onShow = [this](const ScriptedDialogs::Shown& box) {
            if (box.kind == "error")
                page->pump.closed = true;
        };
        db->startTrace();
        page->list1 = PlainTableList({"AFTER", "ROWS"});
        page->list1.select({"AFTER", "ROWS"});
        const bool ranToItsEnd = page->run("Form2.PushButton3_Click", [](auto& trap, auto context) {
            tableops::SendTables(trap, context, DatabaseSide::One, DatabaseSide::Two);
        });
        QVERIFY(!ranToItsEnd);
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 280"});
        // Nothing was sent after the failed row.
        QCOMPARE(db->tracedStatements().last(), QString(sid2 + R"(|INSERT INTO "ROWS" VALUES('2'))"));
        QCOMPARE(count2("ROWS"), QString("2"));
    }

    // The table's rows cannot all be read: the table to be overwritten stays as it was.
    void runningOutOfMemoryEndsTheTableAndTheProgramLives()
    {
        exec1(R"(CREATE TABLE "HUGE"("ID" NUMBER, "DOC" CLOB))");
        exec1(R"(INSERT INTO "HUGE" VALUES('1', 'small'))");
        exec1(QString(R"(INSERT INTO "HUGE" VALUES('2', '%1'))").arg(QString(1500000, 'x')));
        exec1(R"(INSERT INTO "HUGE" VALUES('3', 'small'))");
        db->exec(sid2, "HR", R"(CREATE TABLE "HUGE"("OLD" NUMBER))");
        db->exec(sid2, "HR", R"(INSERT INTO "HUGE" VALUES('42'))");
        makeTable("AFTER", 3);
        page->list1 = PlainTableList({"AFTER", "HUGE"});
        page->list1.select({"AFTER", "HUGE"});
        page->list2 = PlainTableList({"HUGE"});
        // Holding the big value takes more than the process may have; reading it does not.
        failAllocationsFrom = 4'000'000;
        page->run("Form2.PushButton3_Click", [](auto& trap, auto context) {
            tableops::SendTables(trap, context, DatabaseSide::One, DatabaseSide::Two);
        });
        failAllocationsFrom = 0;
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 230"});
        QVERIFY(page->dialogs.errors()[0].startsWith("Out of memory\r\n"));
        QCOMPARE(db->query(sid2, "HR", R"(SELECT * FROM "HUGE")"), QList<QStringList>{{"42"}});
        QCOMPARE(count2("AFTER"), QString("3"));
        QCOMPARE(page->list2.names(), QStringList({"AFTER", "HUGE"}));
        expectRunEnded();
    }
};

QTEST_GUILESS_MAIN(FailuresThatRepeatTest)
#include "tst_failures_that_repeat.moc"
