// Dropping and renaming tables on either side, through the stand-in driver.
#include "devdb_fixture.h"
#include "page_harness.h"
#include "tableops/operations.h"

#include <QtTest>

using oracle::DatabaseSide;
Q_DECLARE_METATYPE(oracle::DatabaseSide)

class DeleteRenameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    std::unique_ptr<PageHarness> page;
    int round = 0;
    QString user;

    // Both sides log in to the same schema here; the side decides list and handler path.
    void makeTables(DatabaseSide side, const QStringList& names)
    {
        for (const QString& name : names) {
            QString quoted = name;
            quoted.replace("\"", "\"\"");
            db->exec("DB", user, "CREATE TABLE \"" + quoted + "\"(\"A\" NUMBER)");
        }
        page->list(side) = PlainTableList(names);
    }
    QStringList tables()
    {
        QStringList names;
        for (const QStringList& row : db->query("DB", user, "SELECT table_name FROM user_tables"))
            names << row.value(0);
        names.sort();
        return names;
    }
    static QString deletePath(DatabaseSide side) { return side == DatabaseSide::One ? "Form2.PushButton4_Click" : "Form2.PushButton9_Click"; }
    static QString renamePath(DatabaseSide side) { return side == DatabaseSide::One ? "Form2.PushButton5_Click" : "Form2.PushButton10_Click"; }
    void deleteOn(DatabaseSide side)
    {
        page->run(deletePath(side), [side](auto& trap, auto context) { tableops::DeleteTables(trap, context, side); });
    }
    void renameOn(DatabaseSide side)
    {
        page->run(renamePath(side), [side](auto& trap, auto context) { tableops::RenameTable(trap, context, side); });
    }
    static void sides()
    {
        QTest::addColumn<DatabaseSide>("side");
        QTest::newRow("side 1") << DatabaseSide::One;
        QTest::newRow("side 2") << DatabaseSide::Two;
    }

private slots:
    void initTestCase() { db = std::make_unique<DevDbFixture>(); }

    void init()
    {
        ++round;
        user = QString("OWNER%1").arg(round);
        db->addUser("DB", user, "pw");
        db->clearFaults();
        page = std::make_unique<PageHarness>();
        page->profile1 = page->profile2 = {"DB", user, "pw"};
    }

    void deleteWithNothingCurrent_data() { sides(); }
    void deleteWithNothingCurrent()
    {
        QFETCH(DatabaseSide, side);
        makeTables(side, {"A", "B"});
        page->list(side).entries[1].selected = true;
        deleteOn(side);
        QCOMPARE(page->dialogs.texts("information"), QStringList{"Please select a table"});
        QCOMPARE(page->dialogs.shown[0].title, QString("Mirravel"));
        QCOMPARE(tables(), QStringList({"A", "B"}));
        QCOMPARE(page->list(side).names(), QStringList({"A", "B"}));
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
        QCOMPARE(page->journal.lines, QStringList());  // nothing was tried
    }

    void deleteWithNothingSelected_data() { sides(); }
    void deleteWithNothingSelected()
    {
        QFETCH(DatabaseSide, side);
        makeTables(side, {"A", "B"});
        page->list(side).current = 0;
        deleteOn(side);
        QVERIFY(page->dialogs.shown.isEmpty());
        QCOMPARE(tables(), QStringList({"A", "B"}));
        QCOMPARE(page->list(side).count(), 2);
    }

    void deleteDropsSelectedFromTheBottomUp_data() { sides(); }
    void deleteDropsSelectedFromTheBottomUp()
    {
        QFETCH(DatabaseSide, side);
        makeTables(side, {"T0", "T1", "T2", "T3", "T4", "T5", "T6"});
        page->list(side).select({"T1", "T4", "T6"});
        db->startTrace();
        deleteOn(side);
        QCOMPARE(db->tracedStatements(), QStringList({R"(DB|DROP TABLE "T6")", R"(DB|DROP TABLE "T4")", R"(DB|DROP TABLE "T1")"}));
        QCOMPARE(page->list(side).names(), QStringList({"T0", "T2", "T3", "T5"}));
        QCOMPARE(tables(), QStringList({"T0", "T2", "T3", "T5"}));
        QCOMPARE(page->list(side == DatabaseSide::One ? DatabaseSide::Two : DatabaseSide::One).count(), 0);
        QVERIFY(page->dialogs.shown.isEmpty());
    }

    void failingDropIsReportedAndTheEntryStillLeaves_data() { sides(); }
    void failingDropIsReportedAndTheEntryStillLeaves()
    {
        QFETCH(DatabaseSide, side);
        makeTables(side, {"A", "B"});
        page->list(side).add("GONE");
        page->list(side).select({"A", "GONE"});
        deleteOn(side);
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{deletePath(side) + " at line 112"});
        QVERIFY(page->dialogs.errors()[0].contains("ORA-00942"));
        QCOMPARE(page->list(side).names(), QStringList{"B"});
        QCOMPARE(tables(), QStringList{"B"});
        QCOMPARE(page->journal.lines.size(), 3);
        QVERIFY(page->journal.lines[0].startsWith(QString("Delete on Oracle #%1 (SID \"DB\", user ").arg(side == DatabaseSide::One ? 1 : 2)));
        QVERIFY(page->journal.lines[1].startsWith(R"(Delete "GONE": not dropped: )") && page->journal.lines[1].contains("ORA-00942"));
        QCOMPARE(page->journal.lines[2], QString(R"(Delete "A": dropped)"));
        QCOMPARE(page->pointer.value, 0);
    }

    void deleteWithoutConnection_data() { sides(); }
    void deleteWithoutConnection()
    {
        QFETCH(DatabaseSide, side);
        makeTables(side, {"A", "B", "C"});
        page->list(side).select({"A", "C"});
        page->profile1.password = page->profile2.password = "wrong";
        deleteOn(side);
        // One report: without a connection every drop would fail in a box of its own.
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{deletePath(side) + " at line 104"});
        QVERIFY(page->dialogs.errors()[0].contains("ORA-01017"));
        QCOMPARE(page->list(side).names(), QStringList({"A", "B", "C"}));
        QCOMPARE(tables(), QStringList({"A", "B", "C"}));
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
    }

    void deleteEndsWhenTheConnectionIsLost_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("connection-class state") << "3+|DROP TABLE|08S01|ORA-03113: end-of-file on communication channel";
        QTest::newRow("driver's own state") << "3+|DROP TABLE|HY000|ORA-03114: not connected to ORACLE";
    }
    void deleteEndsWhenTheConnectionIsLost()
    {
        QFETCH(QString, fault);
        QStringList names;
        for (int i = 0; i < 30; ++i)
            names << QString("T%1").arg(i, 2, 10, QChar('0'));
        makeTables(DatabaseSide::One, names);
        page->list(DatabaseSide::One).select(names);
        db->addFault(fault);
        deleteOn(DatabaseSide::One);
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{deletePath(DatabaseSide::One) + " at line 112"});
        // Two dropped from the bottom; the one whose drop failed stays listed, like the rest.
        QCOMPARE(page->list(DatabaseSide::One).names(), names.mid(0, 28));
        QCOMPARE(tables(), names.mid(0, 28));
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
    }

    void renameWithoutConnectionAsksNothing()
    {
        makeTables(DatabaseSide::Two, {"A", "B"});
        page->list(DatabaseSide::Two).select({"B"});
        page->profile2.password = "wrong";
        page->dialogs.inputAnswers = {"NEWB"};
        renameOn(DatabaseSide::Two);
        QCOMPARE(page->dialogs.kinds(), QStringList{"error"});
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{renamePath(DatabaseSide::Two) + " at line 104"});
        QCOMPARE(page->list(DatabaseSide::Two).names(), QStringList({"A", "B"}));
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
    }

    // Oracle allows no double quote inside a name; whatever the database says, a typed or
    // listed quote must not end the identifier and run SQL of its own.
    void deleteNameWithDoubleQuote()
    {
        makeTables(DatabaseSide::One, {"KEEP", "VICTIM"});
        const QString listed = "VICTIM\" CASCADE CONSTRAINTS --";
        page->list1.add(listed);
        page->list1.select({listed});
        db->startTrace();
        deleteOn(DatabaseSide::One);
        QCOMPARE(db->tracedStatements(), QStringList{"DB|DROP TABLE \"VICTIM\"\" CASCADE CONSTRAINTS --\""});
        QCOMPARE(tables(), QStringList({"KEEP", "VICTIM"}));
        QCOMPARE(page->list1.names(), QStringList({"KEEP", "VICTIM"}));
    }

    void renameNeedsACurrentEntry_data() { sides(); }
    void renameNeedsACurrentEntry()
    {
        QFETCH(DatabaseSide, side);
        makeTables(side, {"A", "B"});
        page->list(side).entries[0].selected = true;
        renameOn(side);
        QCOMPARE(page->dialogs.texts("information"), QStringList{"Please select an Oracle table to rename."});
        QCOMPARE(page->dialogs.kinds(), QStringList{"information"});
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
        QCOMPARE(page->journal.lines, QStringList());  // nothing was tried
    }

    void renameNeedsExactlyOneSelected_data()
    {
        QTest::addColumn<DatabaseSide>("side");
        QTest::addColumn<QStringList>("selected");
        QTest::newRow("side 1, none") << DatabaseSide::One << QStringList();
        QTest::newRow("side 2, none") << DatabaseSide::Two << QStringList();
        QTest::newRow("side 1, three") << DatabaseSide::One << QStringList({"A", "B", "C"});
        QTest::newRow("side 2, three") << DatabaseSide::Two << QStringList({"A", "B", "C"});
    }
    void renameNeedsExactlyOneSelected()
    {
        QFETCH(DatabaseSide, side);
        QFETCH(QStringList, selected);
        makeTables(side, {"A", "B", "C"});
        page->list(side).select(selected);
        page->list(side).current = 1;
        renameOn(side);
        QCOMPARE(page->dialogs.kinds(), QStringList{"information"});
        QCOMPARE(page->dialogs.shown[0].text, QString("Please select just one table to rename."));
        QCOMPARE(tables(), QStringList({"A", "B", "C"}));
    }

    void renameWorks_data() { sides(); }
    void renameWorks()
    {
        QFETCH(DatabaseSide, side);
        makeTables(side, {"A", "B", "C", "D", "ORDERS"});
        page->list(side).select({"ORDERS"});
        page->list(side).current = 4;
        page->dialogs.inputAnswers = {"orders_old"};
        db->startTrace();
        renameOn(side);
        QCOMPARE(page->dialogs.kinds(), QStringList{"input"});
        QCOMPARE(page->dialogs.shown[0].title, QString("Mirravel"));
        QCOMPARE(page->dialogs.shown[0].text, QString("Enter new name of ORDERS:"));
        QCOMPARE(page->dialogs.shown[0].proposed, QString("ORDERS"));
        QCOMPARE(db->tracedStatements(), QStringList{R"(DB|RENAME "ORDERS" TO "orders_old")"});
        QCOMPARE(tables(), QStringList({"A", "B", "C", "D", "orders_old"}));
        QCOMPARE(page->list(side).names(), QStringList({"A", "B", "C", "D", "orders_old"}));
        QCOMPARE(page->list(side).currentIndex(), 0);
        QCOMPARE(page->list(side).selectedCount(), 0);
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
        QCOMPARE(page->journal.lines.last(), QString(R"(Rename "ORDERS": renamed to "orders_old")"));
    }

    void renameCancelledOrEmpty_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::newRow("cancel") << QStringList();
        QTest::newRow("empty answer") << QStringList{""};
    }
    void renameCancelledOrEmpty()
    {
        QFETCH(QStringList, answers);
        makeTables(DatabaseSide::Two, {"A", "B"});
        page->list2.select({"B"});
        page->dialogs.inputAnswers = answers;
        db->startTrace();
        renameOn(DatabaseSide::Two);
        QCOMPARE(page->dialogs.kinds(), QStringList{"input"});
        QVERIFY(db->tracedStatements().isEmpty());
        QCOMPARE(page->list2.names(), QStringList({"A", "B"}));
        QCOMPARE(page->pointer.value, 0);
    }

    void rejectedRenameStillChangesTheList_data() { sides(); }
    void rejectedRenameStillChangesTheList()
    {
        QFETCH(DatabaseSide, side);
        makeTables(side, {"A", "B"});
        page->list(side).select({"B"});
        page->dialogs.inputAnswers = {"A"};
        renameOn(side);
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{renamePath(side) + " at line 120"});
        QVERIFY(page->dialogs.errors()[0].contains("ORA-00955"));
        QCOMPARE(page->list(side).names(), QStringList({"A", "A"}));
        QCOMPARE(tables(), QStringList({"A", "B"}));
    }

    void renameKeepsTheAnswerExactly()
    {
        makeTables(DatabaseSide::One, {"ORDERS"});
        page->list1.select({"ORDERS"});
        page->dialogs.inputAnswers = {"  my orders "};
        renameOn(DatabaseSide::One);
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(tables(), QStringList{"  my orders "});
        QCOMPARE(page->list1.names(), QStringList{"  my orders "});
    }

    void typedDoubleQuoteCannotAddSql()
    {
        makeTables(DatabaseSide::One, {"ORDERS", "VICTIM"});
        page->list1.select({"ORDERS"});
        page->dialogs.inputAnswers = {R"(X"; DROP TABLE "VICTIM)"};
        db->startTrace();
        renameOn(DatabaseSide::One);
        QCOMPARE(db->tracedStatements(), QStringList{R"(DB|RENAME "ORDERS" TO "X""; DROP TABLE ""VICTIM")"});
        QVERIFY(tables().contains("VICTIM"));
    }
};

QTEST_GUILESS_MAIN(DeleteRenameTest)
#include "tst_delete_rename.moc"
