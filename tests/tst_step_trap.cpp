// The error report text and the rules of the step trap that every handler runs under.
#include "platform/step_trap.h"
#include "platform/operation_error.h"
#include "oracle/database_error.h"
#include "scripted_dialogs.h"

#include <QtTest>
#include <stdexcept>

class StepTrapTest : public QObject {
    Q_OBJECT
private slots:
    void reportText()
    {
        QCOMPARE(platform::ErrorReportText("ORA-00942: table or view does not exist", "Form2.PushButton8_Click", 154),
                 QString("ORA-00942: table or view does not exist\r\n"
                         "in Brenvick2021/08/31.Form2.PushButton8_Click at line 154\r\r"
                         "Please email screenshot of this message to support@kestrovan.com"));
    }

    void failingStepIsReportedAndTheNextStepRuns()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form1.Form_Load");
        QStringList ran;
        QVERIFY(trap.step(126, [&] { ran << "126"; }));
        QVERIFY(!trap.step(128, [&] { throw std::runtime_error("Invalid picture"); }));
        trap.step(130, [&] { ran << "130"; });
        QCOMPARE(ran, QStringList({"126", "130"}));
        QCOMPARE(dialogs.kinds(), QStringList{"error"});
        QCOMPARE(dialogs.shown[0].title, QString("Application Error"));
        QVERIFY(dialogs.errors()[0].startsWith("Invalid picture\r\nin Brenvick2021/08/31.Form1.Form_Load at line 128\r\r"));
    }

    void twoFailuresGiveTwoReportsInStepOrder()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form2.PushButton3_Click");
        trap.step(162, [] { throw oracle::DatabaseError("first", "42S02"); });
        trap.step(164, [] { throw oracle::DatabaseError("second", "42S02"); });
        QCOMPARE(dialogs.errorPlaces(), QStringList({"Form2.PushButton3_Click at line 162", "Form2.PushButton3_Click at line 164"}));
        QVERIFY(dialogs.errors()[1].startsWith("second\r\n"));
        QCOMPARE(trap.failures(), 2);
    }

    void failingConditionEntersItsBlock()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form1.PushButton2_Click");
        bool entered = trap.when(102, []() -> bool { throw std::runtime_error("no object"); });
        QVERIFY(entered);
        QVERIFY(!trap.when(104, [] { return false; }));
        QVERIFY(trap.when(106, [] { return true; }));
        QCOMPARE(dialogs.errorPlaces(), QStringList{"Form1.PushButton2_Click at line 102"});
    }

    void failingStepInLoopGoesOnWithTheSamePass()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form2.PushButton9_Click");
        QStringList ran;
        for (int pass = 0; pass < 3; ++pass) {
            trap.step(112, [&] {
                if (pass == 1)
                    throw std::runtime_error("drop failed");
                ran << QString("drop %1").arg(pass);
            });
            trap.step(114, [&] { ran << QString("remove %1").arg(pass); });
        }
        QCOMPARE(ran, QStringList({"drop 0", "remove 0", "remove 1", "drop 2", "remove 2"}));
        QCOMPARE(dialogs.errorPlaces(), QStringList{"Form2.PushButton9_Click at line 112"});
    }

    void failingEndTestEndsTheWalkAfterOneReport()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form2.PushButton3_Click");
        int passes = 0;
        while (trap.more(168, []() -> bool { throw std::runtime_error("Operation is not allowed when the object is closed."); }))
            ++passes;
        QCOMPARE(passes, 0);
        QCOMPARE(dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 168"});
    }

    void lostConnectionStopsWalks()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form2.PushButton3_Click");
        QVERIFY(trap.more(226, [] { return true; }));
        trap.step(280, [] { throw oracle::DatabaseError("ORA-03113: end-of-file on communication channel", "08S01"); });
        QVERIFY(trap.operationEnded());
        QVERIFY(!trap.more(226, [] { return true; }));
        // An ordinary statement failure does not.
        platform::StepTrap other(dialogs, "Form2.PushButton3_Click");
        other.step(280, [] { throw oracle::DatabaseError("ORA-00913: too many values", "HY000"); });
        QVERIFY(!other.operationEnded());
    }

    // Within a table, an error reported once is counted when it comes again; a failure that names
    // no error of its own, or one outside a table, is shown each time. A database error without a
    // native number is the same error only with the same text.
    void repeatedErrorsOfATableAreCounted()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form2.PushButton3_Click");
        const auto refused = [] { throw oracle::DatabaseError("ORA-01722: invalid number", "HY000", 1722); };
        trap.step(280, refused);
        trap.step(280, refused);
        trap.beginTable();
        for (int row = 0; row < 3; ++row)
            trap.step(280, refused);
        for (int row = 0; row < 2; ++row)
            trap.step(256, [] { throw std::runtime_error("Could not read the temporary file"); });
        trap.step(280, [] { throw oracle::DatabaseError("[driver]Timeout expired", "HYT00"); });
        trap.step(280, [] { throw oracle::DatabaseError("[driver]Timeout expired", "HYT00"); });
        trap.step(280, [] { throw oracle::DatabaseError("[driver]Memory allocation error", "HYT00"); });
        QCOMPARE(dialogs.errors().size(), 2 + 1 + 2 + 2);
        const auto repeated = trap.endTable();
        QCOMPARE(repeated.size(), size_t(2));
        QCOMPARE(repeated[0].description, QString("ORA-01722: invalid number"));
        QCOMPARE(repeated[0].count, 2);
        QCOMPARE(repeated[1].description, QString("[driver]Timeout expired"));
        QCOMPARE(repeated[1].count, 1);
        QCOMPARE(trap.failures(), 10);
        // The next table reports afresh.
        trap.beginTable();
        trap.step(280, refused);
        QCOMPARE(dialogs.errors().size(), 8);
        QVERIFY(trap.endTable().empty());
    }

    void cancellationIsNotReported()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form2.PushButton3_Click");
        QVERIFY_THROWS_EXCEPTION(platform::OperationCancelled, trap.step(228, [] { throw platform::OperationCancelled(); }));
        QVERIFY(dialogs.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(StepTrapTest)
#include "tst_step_trap.moc"
