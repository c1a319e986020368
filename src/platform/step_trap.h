#pragma once

// The error trap of a handler's numbered steps, and the "Application Error" box it shows.

#include "platform/operation_error.h"

#include <QString>

#include <exception>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

class Dialogs;
class EventPump;

inline constexpr const char* kSupportAddress = "support@kestrovan.com";

// What stands before the procedure path in every report, as the classic program wrote it:
// "in Brenvick2021/08/31.Form2.PushButton3_Click at line 154".
inline const QString kProcedurePathPrefix = QStringLiteral("in Brenvick2021/08/31.");

// The text of the "Application Error" box: description, where it happened, and the request.
QString ErrorReportText(const QString& description, const QString& procedurePath, int line);

// Shows the report through the dialogs and waits for it to be closed.
void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& procedurePath, int line);

inline const QString kOutOfMemoryText = QStringLiteral("Out of memory");

// Runs a handler's numbered steps under one error trap. A failing step (any exception, from the
// step itself or from a routine it called) shows the error report with the handler's path and
// the current step number; the handler then goes on with its next written step. A failure that
// will repeat ends the current table's rows or the whole operation after its one report; within a
// table, a failure that repeats an error already reported for it is counted, not shown again. Given
// the event pump, a window closed meanwhile (during a box, for one) ends the handler after the step.
class StepTrap {
public:
    // An error that failed again after its report, and how many more times.
    struct RepeatedFailure {
        QString description;
        int count = 0;
    };

    StepTrap(Dialogs& dialogs, QString procedurePath, const EventPump* events = nullptr);

    // Runs one numbered step. Returns false when it failed (and was reported).
    template <typename Action>
    bool step(int line, Action&& action)
    {
        return guarded(line, [&] {
            action();
            return true;
        }).has_value();
    }

    // A numbered condition. A failing test is reported and counts as true: the block is entered.
    template <typename Test>
    bool when(int line, Test&& test)
    {
        return guarded(line, std::forward<Test>(test)).value_or(true);
    }

    // The end test of a walk over a result set. A failing test is reported and ends the walk,
    // so nothing can loop on error reports; so does a failure that ended the table before.
    template <typename Test>
    bool more(int line, Test&& test)
    {
        return !tableEnded() && guarded(line, std::forward<Test>(test)).value_or(false) && !tableEnded();
    }

    // Passes a numbered point where nothing can fail (a loop head, say).
    void mark(int line) { line_ = line; }

    int line() const { return line_; }
    QString procedurePath() const { return path_; }
    int failures() const { return failures_; }
    // The description of the latest failure, shown or counted; empty before the first.
    const QString& lastFailure() const { return lastFailure_; }
    // Set once a failure ended the operation (the connection is gone or could not be opened):
    // walks stop then instead of failing row by row.
    bool operationEnded() const { return ended_; }
    // Set once a failure said the table cannot take more rows (or the operation ended); the next
    // table starts afresh with beginTable().
    bool tableEnded() const { return tableEnded_ || ended_; }
    // From here to endTable(), an error reported once is counted when it fails again (rows refused
    // one after another for the same reason would otherwise bury the user in boxes).
    void beginTable();
    // The errors that failed again since beginTable(), in the order first reported.
    std::vector<RepeatedFailure> endTable();

private:
    // Steps run on every row of a copy, so they take the callable as it is, without wrapping it.
    template <typename Action>
    std::optional<bool> guarded(int line, Action&& action)
    {
        line_ = line;
        try {
            const bool result = bool(action());
            stopIfEnding();
            return result;
        } catch (const OperationCancelled&) {
            throw;
        } catch (const OperationError& error) {
            report(error.text(), error.reach(), error.repeatKey());
        } catch (const std::bad_alloc&) {
            report(kOutOfMemoryText, FailureReach::Table);
        } catch (const std::exception& error) {
            report(QString::fromUtf8(error.what()), FailureReach::Step);
        }
        return std::nullopt;
    }
    void report(const QString& description, FailureReach reach, const QString& repeatKey = {});
    // A window closed meanwhile (during a box, say) ends the handler before its next step.
    void stopIfEnding() const;

    Dialogs& dialogs_;
    QString path_;
    const EventPump* events_;
    int line_ = 0;
    int failures_ = 0;
    QString lastFailure_;
    bool ended_ = false;
    bool tableEnded_ = false;
    bool inTable_ = false;
    struct Reported {
        QString key;
        RepeatedFailure failure;
    };
    std::vector<Reported> reported_;  // this table's errors with a repeat key
};

} // namespace platform
