// The copy run through the stand-in driver: statements, values, overwrite question, walk
// order, failures and the progress bar.
#include "devdb_fixture.h"
#include "page_harness.h"
#include "tableops/operations.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using oracle::DatabaseSide;

namespace {

// While it lives, files of this process may not grow past the given size (0: no limit): a write
// beyond fails as on a full disk, with the system's own text (EFBIG where a full disk has ENOSPC).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (bytes == 0)
            return;
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (!active_)
            return;
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousSignal_)(int) = nullptr;
    bool active_ = false;
};

} // namespace

class CopyRunTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    std::unique_ptr<PageHarness> page;
    int round = 0;
    QString sid1, sid2, user1, user2;

    void exec1(const QString& sql) { db->exec(sid1, user1, sql); }
    void exec2(const QString& sql) { db->exec(sid2, user2, sql); }
    QList<QStringList> rows1(const QString& sql) { return db->query(sid1, user1, sql); }
    QList<QStringList> rows2(const QString& sql) { return db->query(sid2, user2, sql); }
    QStringList tables2()
    {
        QStringList names;
        for (const QStringList& row : rows2("SELECT table_name FROM user_tables"))
            names << row.value(0);
        names.sort();
        return names;
    }

    void sendToSide2() { page->run("Form2.PushButton3_Click", [](auto& trap, auto context) { tableops::SendTables(trap, context, DatabaseSide::One, DatabaseSide::Two); }); }
    void sendToSide1() { page->run("Form2.PushButton8_Click", [](auto& trap, auto context) { tableops::SendTables(trap, context, DatabaseSide::Two, DatabaseSide::One); }); }

    void makeOrders()
    {
        exec1(R"(CREATE TABLE "ORDERS"("ID" NUMBER,"NAME" VARCHAR2(10),"CREATED" DATE))");
        exec1(R"(INSERT INTO "ORDERS" VALUES('12', 'Ann', {ts '2024-01-02 03:04:05'}))");
        exec1(R"(INSERT INTO "ORDERS" VALUES('13', '', ''))");
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
    }

    // Every case gets two databases of its own: the column catalogue shows the tables of every
    // user of a database, so schemas of earlier cases must not share one.
    void init()
    {
        ++round;
        sid1 = QString("SRC%1").arg(round);
        sid2 = QString("DST%1").arg(round);
        user1 = "SCOTT";
        user2 = "HR";
        db->addUser(sid1, user1, "tiger");
        db->addUser(sid2, user2, "hr");
        db->clearFaults();
        page = std::make_unique<PageHarness>();
        page->profile1 = {sid1, user1, "tiger"};
        page->profile2 = {sid2, user2, "hr"};
    }

    void noCurrentEntryOnlyAsks()
    {
        makeOrders();
        page->list1 = PlainTableList({"ORDERS"});
        page->list1.entries[0].selected = true;
        page->list1.current = -1;
        sendToSide2();
        QCOMPARE(page->dialogs.kinds(), QStringList{"information"});
        QCOMPARE(page->dialogs.shown[0].text, QString("Please select a table."));
        QCOMPARE(page->dialogs.shown[0].title, QString("Mirravel"));
        QVERIFY(page->pointer.history.isEmpty());
        QVERIFY(page->progress.values.isEmpty());
        QVERIFY(tables2().isEmpty());
    }

    void currentEntryButNothingSelected()
    {
        makeOrders();
        page->list1 = PlainTableList({"ORDERS"});
        page->list1.current = 0;
        sendToSide2();
        QVERIFY(page->dialogs.shown.isEmpty());
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
        QCOMPARE(page->progress.values, QList<int>{0});
        QCOMPARE(page->progress.texts, QStringList{"Progress Bar"});
        QVERIFY(tables2().isEmpty());
        QCOMPARE(page->list2.count(), 0);
        // Nothing was tried: the journal keeps no line of it.
        QCOMPARE(page->journal.lines, QStringList());
    }

    void ordinaryTableGivesTheStatementsByteForByte()
    {
        makeOrders();
        page->list1 = PlainTableList({"ORDERS"});
        page->list1.select({"ORDERS"});
        db->startTrace();
        sendToSide2();
        QCOMPARE(page->dialogs.errors().join('\n'), QString());
        QStringList statements = db->tracedStatements();
        statements.replaceInStrings(QRegularExpression("^[A-Z]+[0-9]+\\|"), "");
        const QString visible = " AND owner = USER AND column_id IS NOT NULL ORDER BY column_id";
        QCOMPARE(statements, QStringList({
            "SELECT username, user_id, created FROM user_users",
            "SELECT SYS_CONTEXT('USERENV', 'CON_DBID') FROM dual",
            "SELECT username, user_id, created FROM user_users",
            "SELECT SYS_CONTEXT('USERENV', 'CON_DBID') FROM dual",
            "SELECT column_name FROM all_tab_columns WHERE  table_name = 'ORDERS'" + visible,
            "SELECT column_name FROM all_tab_columns WHERE  table_name = 'ORDERS' AND owner = USER AND column_id IS NULL"
            " ORDER BY column_name",
            "SELECT data_type FROM all_tab_columns WHERE  table_name = 'ORDERS'" + visible,
            "SELECT data_length FROM all_tab_columns WHERE  table_name = 'ORDERS'" + visible,
            "SELECT data_precision, data_scale, char_length, char_used FROM all_tab_columns WHERE  table_name = 'ORDERS'"
                + visible,
            R"(SELECT * FROM "ORDERS")",
            R"(CREATE TABLE "ORDERS"("ID" NUMBER,"NAME" VARCHAR2(10 BYTE),"CREATED" DATE))",
            R"(INSERT INTO "ORDERS" VALUES('12', 'Ann', {ts '2024-01-02 03:04:05'}))",
            R"(INSERT INTO "ORDERS" VALUES('13', '', ''))",
        }));
        QCOMPARE(db->tracedStatements()[2].section('|', 0, 0), sid2);
        QCOMPARE(db->tracedStatements()[9].section('|', 0, 0), sid1);
        QCOMPARE(db->tracedStatements()[10].section('|', 0, 0), sid2);
        QCOMPARE(page->list2.names(), QStringList{"ORDERS"});
        QCOMPARE(page->progress.values, QList<int>({50, 100, 0}));
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
    }

    void everyValueArrivesUnchanged_data()
    {
        QTest::addColumn<int>("batchRows");
        QTest::newRow("one literal INSERT a row") << 1;
        QTest::newRow("bound rows in batches") << 1000;
        QTest::newRow("bound rows in batches of three") << 3;
    }
    void everyValueArrivesUnchanged()
    {
        QFETCH(int, batchRows);
        page->batch.rows = batchRows;
        exec1(R"(CREATE TABLE "Mixed"("ID" NUMBER, "TXT" VARCHAR2(60), "FIX" CHAR(3), "NTXT" NVARCHAR2(20), "BIG" NUMBER,)"
              R"( "MONEY" NUMBER(10,2), "FL" FLOAT, "WHEN" DATE, "TS" TIMESTAMP(6), "BIN" RAW(16), "LOB" BLOB, "DOC" CLOB, "FLAG" BOOLEAN))");
        const QStringList texts = {"O'Brien", R"(C:\temp\new)", "a|myseparaterz|b", "True", "False", "",
                                   "Ærøskøbing – ünïcödé 日本語", "it''s \"quoted\""};
        for (int i = 0; i < texts.size(); ++i) {
            QString quoted = texts[i];
            quoted.replace("'", "''");
            exec1(QString(R"(INSERT INTO "Mixed" VALUES('%1', '%2', 'ab', 'Ωμέγα', '-98765432109876543210987654321098765.4', '1234.5', '0.1', {ts '1999-12-31 23:59:59'}, {ts '2024-02-29 12:34:56.000001'}, '00FF7F80', 'DEADBEEF', '%2', %3))")
                      .arg(i).arg(quoted).arg(i % 2));
        }
        exec1(R"(INSERT INTO "Mixed" VALUES('99', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL))");
        page->list1 = PlainTableList({"Mixed"});
        page->list1.select({"Mixed"});
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        const QString select = R"(SELECT * FROM "Mixed" ORDER BY "ID")";
        const auto source = rows1(select);
        const auto target = rows2(select);
        QCOMPARE(target.size(), source.size());
        for (int r = 0; r < source.size(); ++r)
            for (int c = 0; c < source[r].size(); ++c)
                QVERIFY2(target[r][c] == source[r][c] && target[r][c].isNull() == source[r][c].isNull(),
                         qPrintable(QString("row %1 column %2: %3 became %4").arg(r).arg(c).arg(source[r][c], target[r][c])));
        QCOMPARE(target[1][1], QString(R"(C:\temp\new)"));
        QCOMPARE(target[3][1], QString("True"));
        QCOMPARE(target[0][5], QString("1234.5"));
        QCOMPARE(target[0][8], QString("2024-02-29 12:34:56.000001"));
    }

    void overwriteYesReplacesTheTable()
    {
        makeOrders();
        exec2(R"(CREATE TABLE "ORDERS"("OLD" NUMBER))");
        exec2(R"(INSERT INTO "ORDERS" VALUES('1'))");
        page->list1 = PlainTableList({"ORDERS"});
        page->list1.select({"ORDERS"});
        page->list2 = PlainTableList({"ORDERS", "OTHER"});
        page->dialogs.yesNoAnswers = {true};
        sendToSide2();
        QCOMPARE(page->dialogs.kinds(), QStringList{"question"});
        QCOMPARE(page->dialogs.shown[0].title, QString("Overwrite?"));
        QCOMPARE(page->dialogs.shown[0].text, QString("Would you like to overwrite ORDERS?"));
        QCOMPARE(rows2(R"(SELECT "ID", "NAME" FROM "ORDERS" ORDER BY "ID")"), QList<QStringList>({{"12", "Ann"}, {"13", QString()}}));
        QCOMPARE(page->list2.names(), QStringList({"ORDERS", "OTHER"}));
        QCOMPARE(tables2(), QStringList{"ORDERS"});
        // The journal keeps what was overwritten and copied.
        QCOMPARE(page->journal.lines,
                 QStringList({QString(R"(Send from Oracle #1 (SID "%1", user "%2") to Oracle #2 (SID "%3", user "%4"), rows one by one)")
                                  .arg(sid1, user1, sid2, user2),
                              R"(Send "ORDERS": overwrite answered Yes; 2 rows read; old table dropped; created; 2 rows inserted, 0 rows refused)"}));
    }

    void overwriteNoSkipsSilentlyAndGoesOn()
    {
        makeOrders();
        exec1(R"(CREATE TABLE "ITEMS"("A" NUMBER))");
        exec2(R"(CREATE TABLE "ORDERS"("OLD" NUMBER))");
        page->list1 = PlainTableList({"ITEMS", "ORDERS"});
        page->list1.select({"ITEMS", "ORDERS"});
        page->list2 = PlainTableList({"ORDERS"});
        page->dialogs.yesNoAnswers = {false};
        sendToSide2();
        QCOMPARE(page->dialogs.kinds(), QStringList{"question"});
        QCOMPARE(page->journal.lines.mid(1), QStringList({R"(Send "ORDERS": overwrite answered No, not copied)",
                                                          R"(Send "ITEMS": 0 rows read; created; 0 rows inserted, 0 rows refused)"}));
        QCOMPARE(rows2(R"(SELECT COUNT(*) FROM "ORDERS")"), QList<QStringList>{{"0"}});
        QCOMPARE(tables2(), QStringList({"ITEMS", "ORDERS"}));
        QCOMPARE(page->list2.names(), QStringList({"ITEMS", "ORDERS"}));
    }

    void nameDifferingOnlyInCase()
    {
        exec1(R"(CREATE TABLE "orders"("A" NUMBER))");
        exec1(R"(INSERT INTO "orders" VALUES('7'))");
        exec2(R"(CREATE TABLE "ORDERS"("B" NUMBER))");
        page->list1 = PlainTableList({"orders"});
        page->list1.select({"orders"});
        page->list2 = PlainTableList({"ORDERS"});
        page->dialogs.yesNoAnswers = {true};
        sendToSide2();
        QCOMPARE(page->dialogs.kinds(), QStringList({"question", "error"}));
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 154"});
        QVERIFY(page->dialogs.errors()[0].contains("ORA-00942"));
        QCOMPARE(tables2(), QStringList({"ORDERS", "orders"}));
        QCOMPARE(page->list2.names(), QStringList({"ORDERS", "orders"}));
        QCOMPARE(rows2(R"(SELECT * FROM "orders")"), QList<QStringList>{{"7"}});
    }

    void walkRunsFromTheBottomUp()
    {
        for (const char* name : {"A1", "B2", "C3", "D4"}) {
            exec1(QString(R"(CREATE TABLE "%1"("X" NUMBER))").arg(name));
            exec2(QString(R"(CREATE TABLE "%1"("X" NUMBER))").arg(name));
        }
        page->list1 = PlainTableList({"A1", "B2", "C3", "D4"});
        page->list1.select({"A1", "C3", "D4"});
        page->list2 = PlainTableList({"A1", "B2", "C3", "D4"});
        page->dialogs.yesNoAnswers = {false, false, false};
        sendToSide2();
        QCOMPARE(page->dialogs.texts("question"), QStringList({"Would you like to overwrite D4?", "Would you like to overwrite C3?",
                                                               "Would you like to overwrite A1?"}));
    }

    void copiesTheOtherWayToo()
    {
        exec2(R"(CREATE TABLE "BACK"("X" VARCHAR2(5)))");
        exec2(R"(INSERT INTO "BACK" VALUES('hi'))");
        page->list2 = PlainTableList({"BACK"});
        page->list2.select({"BACK"});
        sendToSide1();
        QCOMPARE(rows1(R"(SELECT * FROM "BACK")"), QList<QStringList>{{"hi"}});
        QCOMPARE(page->list1.names(), QStringList{"BACK"});
    }

    void failingInsertIsReportedAndTheNextRowStillCopied()
    {
        makeOrders();
        exec1(R"(INSERT INTO "ORDERS" VALUES('14', 'Cy', ''))");
        db->addFault(R"(2|INSERT INTO "ORDERS"|HY000|ORA-01722: invalid number)");
        page->list1 = PlainTableList({"ORDERS"});
        page->list1.select({"ORDERS"});
        sendToSide2();
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 280"});
        QVERIFY(page->dialogs.errors()[0].contains("ORA-01722: invalid number"));
        QCOMPARE(rows2(R"(SELECT "ID" FROM "ORDERS" ORDER BY "ID")"), QList<QStringList>({{"12"}, {"14"}}));
        QCOMPARE(page->progress.values, QList<int>({33, 67, 100, 0}));
        QCOMPARE(page->list2.names(), QStringList{"ORDERS"});
        QCOMPARE(page->journal.lines.last(), R"(Send "ORDERS": 3 rows read; created; 2 rows inserted, 1 row refused; )"
                                             R"(errors: "[devdb][Oracle]ORA-01722: invalid number" once)");
    }

    // An overwrite drops the old table only once its replacement stands: whatever the target
    // refuses on the way, the user's rows are never left without a table, and one report says so.
    void overwriteNeverLeavesTheTargetWithoutItsTable_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("journal");
        QTest::addColumn<bool>("oldKept");
        QTest::newRow("a length the target lacks") << "" << 222
            << "NOTES was not replaced: its new table could not be created on Oracle #2, so the old NOTES stays there as it was."
            << "old table kept, the new one could not be created; not copied: [devdb][Oracle]ORA-00910" << true;
        QTest::newRow("no privilege to create") << "1|CREATE TABLE|HY000|ORA-01031: insufficient privileges" << 222
            << "NOTES was not replaced: its new table could not be created on Oracle #2, so the old NOTES stays there as it was."
            << "old table kept, the new one could not be created; not copied: [devdb][Oracle]ORA-01031" << true;
        QTest::newRow("old table referenced by foreign keys")
            << "1|DROP TABLE|HY000|ORA-02449: unique/primary keys in table referenced by foreign keys" << 154
            << "NOTES was not replaced: the old NOTES on Oracle #2 could not be dropped, so it stays there as it was."
            << "old table kept, it could not be dropped; not copied: [devdb][Oracle]ORA-02449" << true;
        QTest::newRow("new table cannot take the name") << "1|RENAME|HY000|ORA-01031: insufficient privileges" << 157
            << "The old NOTES on Oracle #2 was dropped, but the new table could not take its name: it stands there, empty, as MIRRAVEL$NEW$"
            << "old table dropped, the new one could not take its name; new table left as \"MIRRAVEL$NEW$" << false;
    }
    void overwriteNeverLeavesTheTargetWithoutItsTable()
    {
        QFETCH(QString, fault);
        QFETCH(int, line);
        QFETCH(QString, report);
        QFETCH(QString, journal);
        QFETCH(bool, oldKept);
        // Only the source takes strings past 4000 bytes: without a fault, its NOTES cannot be created.
        db->setExtendedStrings(sid1);
        exec1(QString(R"(CREATE TABLE "NOTES"("ID" NUMBER, "TXT" VARCHAR2(%1)))").arg(fault.isEmpty() ? 8000 : 100));
        for (int i = 0; i < 3; ++i)
            exec1(QString(R"(INSERT INTO "NOTES" VALUES('%1', 'new'))").arg(i));
        exec2(R"(CREATE TABLE "NOTES"("ID" NUMBER PRIMARY KEY, "OLD" VARCHAR2(10)))");
        for (int i = 0; i < 5; ++i)
            exec2(QString(R"(INSERT INTO "NOTES" VALUES('%1', 'only here'))").arg(i));
        const QString columns = "SELECT column_name, data_type, data_length, nullable FROM user_tab_columns WHERE table_name = 'NOTES'";
        const auto oldColumns = rows2(columns);
        const auto oldRows = rows2(R"(SELECT * FROM "NOTES" ORDER BY "ID")");
        if (!fault.isEmpty())
            db->addFault(fault);
        page->list1 = PlainTableList({"NOTES"});
        page->list1.select({"NOTES"});
        page->list2 = PlainTableList({"NOTES"});
        sendToSide2();
        db->clearFaults();
        QCOMPARE(page->dialogs.kinds(), QStringList({"question", "error"}));
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{QString("Form2.PushButton3_Click at line %1").arg(line)});
        QVERIFY2(page->dialogs.errors()[0].startsWith(report), qPrintable(page->dialogs.errors()[0]));
        QVERIFY2(page->journal.lines.last().contains(journal), qPrintable(page->journal.lines.last()));
        if (oldKept) {
            QCOMPARE(tables2(), QStringList{"NOTES"});
            QCOMPARE(rows2(columns), oldColumns);
            QCOMPARE(rows2(R"(SELECT * FROM "NOTES" ORDER BY "ID")"), oldRows);
            // Its primary key stands too.
            QVERIFY(db->errorOf(sid2, user2, R"(INSERT INTO "NOTES" VALUES('1', 'again'))").contains("ORA-00001"));
            QCOMPARE(page->list2.names(), QStringList{"NOTES"});
        } else {
            // The report and the list name where the new table stands.
            const QStringList tables = tables2();
            QCOMPARE(tables.size(), 1);
            QVERIFY(tables[0].startsWith("MIRRAVEL$NEW$"));
            QVERIFY(page->dialogs.errors()[0].contains(tables[0] + ".\r\n"));
            QCOMPARE(page->list2.names(), tables);
        }
        QCOMPARE(page->progress.values, QList<int>{0});
    }

    void unreadableCatalogueIsReportedOnceAndTheTableSkipped()
    {
        makeOrders();
        exec1(R"(CREATE TABLE "NEXT"("A" NUMBER))");
        db->addFault("1|SELECT data_type|HY000|ORA-00942: table or view does not exist");
        page->list1 = PlainTableList({"NEXT", "ORDERS"});
        page->list1.select({"NEXT", "ORDERS"});
        sendToSide2();
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 164"});
        QCOMPARE(tables2(), QStringList{"NEXT"});
        QCOMPARE(page->list2.names(), QStringList({"NEXT", "ORDERS"}));
    }

    // Without the columns' details the catalogue's lengths still make the table, after one report.
    void catalogueWithoutDetailsStillCopiesTheTable()
    {
        exec1(R"(CREATE TABLE "ORDERS"("ID" NUMBER(10),"NAME" VARCHAR2(10),"RAW" RAW(4)))");
        exec1(R"(INSERT INTO "ORDERS" VALUES('12', 'Ann', '0A0B'))");
        db->addFault(R"(1|SELECT data_precision|HY000|ORA-00904: "CHAR_USED": invalid identifier)");
        page->list1 = PlainTableList({"ORDERS"});
        page->list1.select({"ORDERS"});
        sendToSide2();
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 167"});
        QCOMPARE(rows2("SELECT column_name, data_type, data_length FROM user_tab_columns WHERE table_name = 'ORDERS' ORDER BY column_id"),
                 QList<QStringList>({{"ID", "NUMBER", "22"}, {"NAME", "VARCHAR2", "10"}, {"RAW", "RAW", "4"}}));
        QCOMPARE(rows2(R"(SELECT * FROM "ORDERS")"), QList<QStringList>({{"12", "Ann", "0A0B"}}));
        QCOMPARE(page->list2.names(), QStringList{"ORDERS"});
    }

    void lostConnectionEndsTheRunAfterOneReport()
    {
        exec1(R"(CREATE TABLE "BIG"("X" NUMBER))");
        exec1(R"(CREATE TABLE "AFTER"("X" NUMBER))");
        for (int i = 0; i < 30; ++i)
            exec1(QString(R"(INSERT INTO "BIG" VALUES('%1'))").arg(i));
        db->addFault(R"(6+|INSERT INTO "BIG"|08S01|ORA-03113: end-of-file on communication channel)");
        page->list1 = PlainTableList({"AFTER", "BIG"});
        page->list1.select({"AFTER", "BIG"});
        sendToSide2();
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 280"});
        QCOMPARE(rows2(R"(SELECT COUNT(*) FROM "BIG")"), QList<QStringList>{{"5"}});
        QVERIFY(!tables2().contains("AFTER"));
        // BIG was made before the connection went: it stands on the target, so it is listed.
        QCOMPARE(page->list2.names(), QStringList{"BIG"});
        QCOMPARE(page->pointer.value, 0);
        QCOMPARE(page->progress.values.last(), 0);
        QCOMPARE(page->progress.texts, QStringList{"Progress Bar"});
    }

    void unreachableTargetEndsTheRunAfterOneReport()
    {
        makeOrders();
        page->profile2.password = "wrong";
        page->list1 = PlainTableList({"ORDERS"});
        page->list1.select({"ORDERS"});
        sendToSide2();
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 126"});
        QVERIFY(page->dialogs.errors()[0].contains("ORA-01017"));
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
    }

    void progressMovesPerRowAndResets()
    {
        exec1(R"(CREATE TABLE "FOUR"("X" NUMBER))");
        exec1(R"(CREATE TABLE "NONE"("X" NUMBER))");
        for (int i = 0; i < 4; ++i)
            exec1(QString(R"(INSERT INTO "FOUR" VALUES('%1'))").arg(i));
        page->list1 = PlainTableList({"FOUR", "NONE"});
        page->list1.select({"FOUR", "NONE"});
        sendToSide2();
        // NONE (the bottom entry) goes first and moves nothing; FOUR moves a quarter per row.
        QCOMPARE(page->progress.values, QList<int>({25, 50, 75, 100, 0}));
        QCOMPARE(page->progress.texts, QStringList{"Progress Bar"});
        // The bar says what it does: busy while a table is read, then rows of rows as they are written.
        QCOMPARE(page->progress.work, QStringList({"Reading NONE...", "NONE: 0 of 0 rows", "Reading FOUR...",
                                                   "FOUR: 0 of 4 rows", "FOUR: 1 of 4 rows", "FOUR: 2 of 4 rows",
                                                   "FOUR: 3 of 4 rows", "FOUR: 4 of 4 rows"}));
        QCOMPARE(page->progress.busyWork, QList<bool>({true, false, true, false, false, false, false, false}));
        QCOMPARE(rows2(R"(SELECT COUNT(*) FROM "NONE")"), QList<QStringList>{{"0"}});
        QCOMPARE(page->list2.names(), QStringList({"FOUR", "NONE"}));
        // A yield per catalogue row, per row read and per row written.
        QCOMPARE(page->pump.yields, 1 + 1 + 4 + 4);
    }

    // A table far larger than the rows' memory limit: the rest waits in a temporary file (without
    // one the table cannot be copied), every value arrives, and no file is left behind.
    void tableLargerThanTheMemoryLimitCopiesWhole()
    {
        exec1(R"(CREATE TABLE "LARGE"("ID" NUMBER, "TXT" VARCHAR2(200), "BIN" RAW(20)))");
        for (int i = 0; i < 600; ++i)
            exec1(QString(R"(INSERT INTO "LARGE" VALUES('%1', '%2', '%3'))").arg(i).arg(QString(100 + i % 100, QChar('a' + i % 26)))
                      .arg(QString::number(i, 16).rightJustified(8, '0')));
        page->list1 = PlainTableList({"LARGE"});
        page->list1.select({"LARGE"});
        page->rowBuffer = {16 * 1024, "/nonexistent-folder/of/rows"};
        sendToSide2();
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 230"});
        QCOMPARE(tables2(), QStringList());

        QTemporaryDir folder;
        page = std::make_unique<PageHarness>();
        page->profile1 = {sid1, user1, "tiger"};
        page->profile2 = {sid2, user2, "hr"};
        page->list1 = PlainTableList({"LARGE"});
        page->list1.select({"LARGE"});
        page->rowBuffer = {16 * 1024, folder.path()};
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        const QString select = R"(SELECT * FROM "LARGE" ORDER BY "ID")";
        QCOMPARE(rows2(select), rows1(select));
        QCOMPARE(page->progress.values.size(), 601);
        QCOMPARE(page->progress.values.mid(598), QList<int>({100, 100, 0}));
    }

    // The rows that do not fit in memory need the temporary file; without it the table is not
    // copied at all (its rows could not all be read), after one report that says why in the
    // system's own words, and the next table fares as it may.
    void unusableTemporaryFileEndsTheTableAfterOneReport_data()
    {
        QTest::addColumn<bool>("folderExists");
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("line");
        QTest::newRow("no folder") << false << "Could not create the temporary file of the table's rows in " << 230;
        // The file may not grow past 256 KiB, as on a full disk; the system says "File too large"
        // here where a full disk says "No space left on device". The last rows go to the file
        // once all are read.
        QTest::newRow("file cannot grow") << true << "Could not write the temporary file of the table's rows in " << 242;
    }
    void unusableTemporaryFileEndsTheTableAfterOneReport()
    {
        QFETCH(bool, folderExists);
        QFETCH(QString, report);
        QFETCH(int, line);
        QTemporaryDir folder;
        page->rowBuffer = {1024, folderExists ? folder.path() : "/nonexistent-folder/of/rows"};
        exec1(R"(CREATE TABLE "LARGE"("TXT" VARCHAR2(4000)))");
        exec1(R"(CREATE TABLE "SMALL"("TXT" VARCHAR2(200)))");
        for (int i = 0; i < 100; ++i)
            exec1(QString(R"(INSERT INTO "LARGE" VALUES('%1'))").arg(QString(4000, 'x')));
        exec1(R"(INSERT INTO "SMALL" VALUES('fits'))");
        page->list1 = PlainTableList({"LARGE", "SMALL"});
        page->list1.select({"LARGE", "SMALL"});
        {
            const FileSizeLimit limit(folderExists ? 256 * 1024 : 0);
            sendToSide2();
        }
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{QString("Form2.PushButton3_Click at line %1").arg(line)});
        const QString text = page->dialogs.errors()[0];
        QVERIFY2(text.startsWith(report), qPrintable(text));
        if (folderExists)
            QVERIFY2(text.startsWith(report + folder.path() + ": " + QString::fromLocal8Bit(std::strerror(EFBIG)) + "\r\n"),
                     qPrintable(text));
        QCOMPARE(tables2(), QStringList{"SMALL"});
        QCOMPARE(rows2(R"(SELECT * FROM "SMALL")"), QList<QStringList>{{"fits"}});
        QCOMPARE(page->list2.names(), QStringList({"LARGE", "SMALL"}));
    }

    void nameWithSingleQuoteIsCopied()
    {
        const QString name = "O'Neil's";
        exec1(R"(CREATE TABLE "O'Neil's"("A" NUMBER))");
        exec1(R"(INSERT INTO "O'Neil's" VALUES('5'))");
        page->list1 = PlainTableList({name});
        page->list1.select({name});
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(rows2(R"(SELECT "A" FROM "O'Neil's")"), QList<QStringList>{{"5"}});
        QCOMPARE(page->list2.names(), QStringList{name});
    }
};

QTEST_GUILESS_MAIN(CopyRunTest)
#include "tst_copy_run.moc"
