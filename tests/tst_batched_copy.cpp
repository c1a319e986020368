// The batched copy through the stand-in driver: values of any length arrive whole, a refused row
// of a batch is reported once while every other row lands once, a lost connection leaves what was
// committed and says so, and the batch size is taken as the user gave it.
#include "devdb_fixture.h"
#include "fresh_databases.h"
#include "page_harness.h"
#include "tableops/operations.h"

#include <QtTest>

using oracle::DatabaseSide;

class BatchedCopyTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    std::unique_ptr<PageHarness> page;
    int round = 0;
    QString sid1, sid2;

    void exec1(const QString& sql) { db->exec(sid1, "SCOTT", sql); }
    QList<QStringList> rows1(const QString& sql) { return db->query(sid1, "SCOTT", sql); }
    QList<QStringList> rows2(const QString& sql) { return db->query(sid2, "HR", sql); }
    void sendToSide2(const QString& table, int batchRows)
    {
        page->batch.rows = batchRows;
        page->list1 = PlainTableList({table});
        page->list1.select({table});
        page->run("Form2.PushButton3_Click", [](auto& trap, auto context) {
            tableops::SendTables(trap, context, DatabaseSide::One, DatabaseSide::Two);
        });
    }
    int tracedCount(const QString& statement) const
    {
        return int(db->tracedStatements().filter(QRegularExpression("\\|" + QRegularExpression::escape(statement) + "$")).size());
    }

private slots:
    void initTestCase() { db = std::make_unique<DevDbFixture>(); }

    void init()
    {
        page = std::make_unique<PageHarness>();
        std::tie(sid1, sid2) = LogInToFreshDatabases(*db, *page, QString("BAT%1").arg(++round));
    }

    void cleanup()
    {
        db->setNoArrays(false);
        db->setLatency(0);
    }

    // A megabyte in a CLOB, NCLOB, LONG, BLOB or LONG RAW is more than any literal can carry; bound
    // and sent at execution, it arrives value for value, beside short values and NULLs.
    void longValuesArriveWhole_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");  // as a literal writes it; "%1" repeated to a megabyte
        QTest::newRow("CLOB") << "CLOB" << QString::fromUtf8("Zoë's note \xF0\x9F\x98\x80 ");
        QTest::newRow("NCLOB") << "NCLOB" << QString::fromUtf8("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D ");
        QTest::newRow("LONG") << "LONG" << "a long text, ";
        QTest::newRow("BLOB") << "BLOB" << "00FF7F80DEADBEEF";
        QTest::newRow("LONG RAW") << "LONG RAW" << "0A0B0C0D";
    }
    void longValuesArriveWhole()
    {
        QFETCH(QString, type);
        QFETCH(QString, value);
        exec1(QString(R"(CREATE TABLE "DOCS"("ID" NUMBER, "DOC" %1, "AT" TIMESTAMP(6)))").arg(type));
        const QString megabyte = value.repeated(int((1 << 20) / value.toUtf8().size()));
        exec1(QString(R"(INSERT INTO "DOCS" VALUES('1', '%1', {ts '2024-02-29 12:34:56.123456'}))").arg(QString(megabyte).replace("'", "''")));
        exec1(QString(R"(INSERT INTO "DOCS" VALUES('2', '%1', NULL))").arg(QString(value).replace("'", "''")));
        exec1(R"(INSERT INTO "DOCS" VALUES('3', NULL, {ts '1999-12-31 23:59:59'}))");
        sendToSide2("DOCS", 1000);
        QCOMPARE(page->dialogs.shown.size(), 0);
        const QString select = R"(SELECT * FROM "DOCS" ORDER BY "ID")";
        const auto target = rows2(select);
        QCOMPARE(target, rows1(select));
        QVERIFY(target[0][1].toUtf8().size() >= (1 << 20) - 64);
        QCOMPARE(target[2][1], QString());
    }

    // Long values go a row an execute; their batch is committed once it holds 16 MiB, not only
    // after its thousand rows, so no transaction grows to the size of the table.
    void longValuesAreCommittedBySize()
    {
        exec1(R"(CREATE TABLE "DOCS"("ID" NUMBER, "DOC" CLOB))");
        const QString megabyte(1 << 20, 'x');
        for (int i = 1; i <= 18; ++i)
            exec1(QString(R"(INSERT INTO "DOCS" VALUES('%1', '%2'))").arg(i).arg(megabyte));
        db->startTrace();
        sendToSide2("DOCS", 1000);
        QCOMPARE(page->dialogs.shown.size(), 0);
        QCOMPARE(tracedCount("COMMIT"), 2);
        QCOMPARE(rows2(R"(SELECT COUNT(*) FROM "DOCS")"), QList<QStringList>{{"18"}});
    }

    // One row of a batch refused: it is reported once, as one by one would report it, and every
    // other row is in the target once; the journal's count is what is there. The refused array is
    // rolled back first; rows that go one an execute take back only themselves.
    void refusedRowIsReportedOnceAndTheRestLandOnce_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("rollbacks");
        QTest::addColumn<int>("commits");
        QTest::newRow("arrays") << "arrays" << 1 << 2 + 99;
        QTest::newRow("a row an execute, for a long column") << "long" << 0 << 3;
        QTest::newRow("a driver without arrays") << "no arrays" << 0 << 3;
    }
    void refusedRowIsReportedOnceAndTheRestLandOnce()
    {
        QFETCH(QString, way);
        QFETCH(int, rollbacks);
        QFETCH(int, commits);
        exec1(QString(R"(CREATE TABLE "ROWS"("ID" NUMBER, "TXT" %1))").arg(way == "long" ? "CLOB" : "VARCHAR2(20)"));
        QList<QStringList> expected;
        for (int i = 1; i <= 300; ++i) {
            exec1(QString(R"(INSERT INTO "ROWS" VALUES('%1', 'row %1'))").arg(i));
            if (i != 150)
                expected << QStringList{QString::number(i)};
        }
        db->setNoArrays(way == "no arrays");
        db->addFault(R"(1+|INSERT INTO "ROWS" VALUES('150'|23000|ORA-00001: unique constraint (HR.PK_ROWS) violated)");
        db->startTrace();
        sendToSide2("ROWS", 100);
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 280"});
        QVERIFY(page->dialogs.errors()[0].contains("ORA-00001"));
        QCOMPARE(rows2(R"(SELECT "ID" FROM "ROWS" ORDER BY "ID")"), expected);
        QCOMPARE(page->journal.lines.last(), R"(Send "ROWS": 300 rows read; created; 299 rows inserted, 1 row refused; )"
                                             R"(errors: "[devdb][Oracle]ORA-00001: unique constraint (HR.PK_ROWS) violated" once)");
        QCOMPARE(tracedCount("ROLLBACK"), rollbacks);
        QCOMPARE(tracedCount("COMMIT"), commits);
        QCOMPARE(page->progress.work.last(), QString("ROWS: 299 of 300 rows"));
        QCOMPARE(page->progress.values.mid(page->progress.values.size() - 2), QList<int>({100, 0}));
    }

    // A connection lost in the middle: one report, the run ends, and the journal says how many rows
    // were committed, which are the rows the target holds.
    void lostConnectionLeavesWhatWasCommitted()
    {
        exec1(R"(CREATE TABLE "BIG"("ID" NUMBER))");
        for (int i = 1; i <= 300; ++i)
            exec1(QString(R"(INSERT INTO "BIG" VALUES('%1'))").arg(i));
        db->addFault(R"(150+|INSERT INTO "BIG"|08S01|ORA-03113: end-of-file on communication channel)");
        sendToSide2("BIG", 100);
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 280"});
        QCOMPARE(page->dialogs.texts("information"),
                 QStringList{"Only 100 of the 300 rows of BIG are in Oracle #2; the copy of its rows ended before the rest were committed."});
        db->clearFaults();
        QCOMPARE(rows2(R"(SELECT COUNT(*) FROM "BIG")"), QList<QStringList>{{"100"}});
        QVERIFY2(page->journal.lines.last().startsWith(R"(Send "BIG": 300 rows read; created; 100 rows inserted, 0 rows refused, )"
                                                       R"(100 rows not committed; ended early: )"),
                 qPrintable(page->journal.lines.last()));
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
    }

    void batchSizeIsTakenAsGiven_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("commandLine");  // 0: none
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("passedOver");
        QTest::newRow("nothing set") << "" << 0 << 1 << false;
        QTest::newRow("a thousand") << "1000" << 0 << 1000 << false;
        QTest::newRow("blanks around it") << " 250 " << 0 << 250 << false;
        QTest::newRow("the most") << "100000" << 0 << 100000 << false;
        QTest::newRow("one more than the most") << "100001" << 0 << 1 << true;
        QTest::newRow("none") << "0" << 0 << 1 << true;
        QTest::newRow("thousands separated") << "1,000" << 0 << 1 << true;
        QTest::newRow("the command line before the setting") << "1,000" << 500 << 500 << false;
    }
    void batchSizeIsTakenAsGiven()
    {
        QFETCH(QString, setting);
        QFETCH(int, commandLine);
        QFETCH(int, rows);
        QFETCH(bool, passedOver);
        const tableops::BatchSize size =
            tableops::ChooseBatchSize(commandLine > 0 ? std::optional<int>(commandLine) : std::nullopt, setting);
        QCOMPARE(size.rows, rows);
        QCOMPARE(!size.problem.isEmpty(), passedOver);
    }
};

QTEST_GUILESS_MAIN(BatchedCopyTest)
#include "tst_batched_copy.moc"
