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

    // Within a table, an error number reported once is counted when it comes again, whatever its
    // text; a database error without a number is the same error only with the same text. Past a
    // few boxes every failure is counted, and the table keeps each text it saw with its count.
    // Outside a table every failure is shown.
    void repeatedErrorsOfATableAreCounted()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form2.PushButton3_Click");
        const auto tooLarge = [](const char* column) {
            return [column] {
                throw oracle::DatabaseError(QString("ORA-12899: value too large for column \"%1\"").arg(column), "HY000", 12899);
            };
        };
        trap.step(280, tooLarge("K"));
        trap.step(280, tooLarge("K"));
        trap.beginTable();
        for (const char* column : {"K", "K", "V", "V"})
            trap.step(280, tooLarge(column));
        trap.step(280, [] { throw oracle::DatabaseError("[driver]Timeout expired", "HYT00"); });
        trap.step(256, [] { throw std::runtime_error("Could not read the temporary file"); });
        // The boxes' limit is reached: from here on failures are counted.
        trap.step(280, [] { throw oracle::DatabaseError("[driver]Timeout expired", "HYT00"); });
        trap.step(280, [] { throw oracle::DatabaseError("trigger says no to row 7", "HY000"); });
        trap.step(280, tooLarge("V"));
        QCOMPARE(dialogs.errors().size(), 2 + platform::StepTrap::kBoxesPerTable);
        QVERIFY(dialogs.errors()[2].startsWith("ORA-12899: value too large for column \"K\"\r\n"));
        const auto failures = trap.endTable();
        QCOMPARE(failures.repeated.size(), size_t(2));
        QCOMPARE(failures.repeated[0].number, QString("ORA-12899"));
        QCOMPARE(failures.repeated[0].count, 4);
        QCOMPARE(failures.repeated[1].number, QString());
        QCOMPARE(failures.repeated[1].description, QString("[driver]Timeout expired"));
        QCOMPARE(failures.repeated[1].count, 1);
        QCOMPARE(failures.unshown, 1);
        QStringList texts;
        for (const auto& text : failures.texts)
            texts << QString("%1 %2").arg(text.count).arg(text.text);
        QCOMPARE(texts, QStringList({"2 ORA-12899: value too large for column \"K\"", "3 ORA-12899: value too large for column \"V\"",
                                     "2 [driver]Timeout expired", "1 Could not read the temporary file",
                                     "1 trigger says no to row 7"}));
        QCOMPARE(trap.failures(), 11);
        // The next table reports afresh.
        trap.beginTable();
        trap.step(280, tooLarge("K"));
        QCOMPARE(dialogs.errors().size(), 6);
        QVERIFY(!trap.endTable().beyondBoxes());
    }

    // A step's report can say first what its failure means there; the failure's own text follows.
    void explainedStepPutsItsContextFirst()
    {
        ScriptedDialogs dialogs;
        platform::StepTrap trap(dialogs, "Form2.PushButton3_Click");
        QVERIFY(!trap.explained(
            222, [] { throw oracle::DatabaseError("ORA-00910: specified length too long for its datatype", "HY000", 910); },
            [](const std::exception&) { return QString("T was not replaced."); }));
        QVERIFY(dialogs.errors()[0].startsWith("T was not replaced.\r\n\r\nORA-00910: specified length too long"));
        QCOMPARE(trap.lastFailureText(), QString("ORA-00910: specified length too long for its datatype"));
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
