#pragma once

// The error trap of a handler's numbered steps, and the "Application Error" box it shows.

#include "platform/operation_error.h"

#include <QString>

#include <exception>
#include <functional>
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
// will repeat ends the current table's rows or the whole operation after its one report. Within a
// table, a failure with an error number already reported for it is counted, not shown again, and
// past a few boxes the rest are only counted: the table's closing box tells them. Given the event
// pump, a window closed meanwhile (during a box, for one) ends the handler after the step.
class StepTrap {
public:
    // Error boxes one table shows at most; its further failures wait for its closing box.
    static constexpr int kBoxesPerTable = 3;

    // An error that failed again after its report, and how many more times. The number is what
    // made them the same error (an ORA number); without one, their texts were the same.
    struct RepeatedFailure {
        QString description;
        QString number;
        int count = 0;
    };
    // One text a table's failures gave, and how many times.
    struct FailureCount {
        QString text;
        int count = 0;
    };
    // What a table's failures were beyond its boxes, and every text they gave.
    struct TableFailures {
        std::vector<RepeatedFailure> repeated;  // in the order first reported
        int unshown = 0;                        // failures past the boxes' limit, of errors not shown
        std::vector<FailureCount> texts;        // every failure's own text, in the order first seen
        int otherTexts = 0;                     // failures whose texts came after the first twenty
        bool beyondBoxes() const { return !repeated.empty() || unshown > 0; }
    };

    StepTrap(Dialogs& dialogs, QString procedurePath, const EventPump* events = nullptr);

    // Runs one numbered step. Returns false when it failed (and was reported).
    template <typename Action>
    bool step(int line, Action&& action)
    {
        return guarded(line, [&] {
            action();
            return true;
        }, NoContext()).has_value();
    }

    // A numbered step whose report first says what its failure means there: context(failure)
    // gives the words put before the failure's own text, or the empty text for none.
    template <typename Action, typename Context>
    bool explained(int line, Action&& action, const Context& context)
    {
        return guarded(line, [&] {
            action();
            return true;
        }, context).has_value();
    }

    // A numbered condition. A failing test is reported and counts as true: the block is entered.
    template <typename Test>
    bool when(int line, Test&& test)
    {
        return guarded(line, std::forward<Test>(test), NoContext()).value_or(true);
    }

    // The end test of a walk over a result set. A failing test is reported and ends the walk,
    // so nothing can loop on error reports; so does a failure that ended the table before.
    template <typename Test>
    bool more(int line, Test&& test)
    {
        return !tableEnded() && guarded(line, std::forward<Test>(test), NoContext()).value_or(false) && !tableEnded();
    }

    // Passes a numbered point where nothing can fail (a loop head, say).
    void mark(int line) { line_ = line; }

    int line() const { return line_; }
    QString procedurePath() const { return path_; }
    int failures() const { return failures_; }
    // The description of the latest failure, shown or counted; empty before the first.
    const QString& lastFailure() const { return lastFailure_; }
    // The same failure in its own words, without what the step put before them.
    const QString& lastFailureText() const { return lastFailureText_; }
    // Set once a failure ended the operation (the connection is gone or could not be opened):
    // walks stop then instead of failing row by row.
    bool operationEnded() const { return ended_; }
    // Set once a failure said the table cannot take more rows (or the operation ended); the next
    // table starts afresh with beginTable().
    bool tableEnded() const { return tableEnded_ || ended_; }
    // From here to endTable(), an error number reported once is counted when it fails again, and
    // past kBoxesPerTable boxes every failure is counted (rows refused one after another would
    // otherwise bury the user in boxes).
    void beginTable();
    // What failed since beginTable() without a box of its own, and every text that failed.
    TableFailures endTable();

    // Runs before every box the trap shows, while it is set: what stands beside the box (the
    // count of rows written, say) is brought up to date first. Unset with an empty function.
    void setBeforeReport(std::function<void()> update) { beforeReport_ = std::move(update); }

private:
    struct NoContext {
        QString operator()(const std::exception&) const { return {}; }
    };

    // Steps run on every row of a copy, so they take the callable as it is, without wrapping it.
    template <typename Action, typename Context>
    std::optional<bool> guarded(int line, Action&& action, const Context& context)
    {
        line_ = line;
        try {
            const bool result = bool(action());
            stopIfEnding();
            return result;
        } catch (const OperationCancelled&) {
            throw;
        } catch (const OperationError& error) {
            report(explainedText(context(error), error.text()), error.reach(), error.repeatKey(), error.errorNumber(),
                   error.text());
        } catch (const std::bad_alloc&) {
            // Nothing more is asked of the memory than the report needs.
            report(kOutOfMemoryText, FailureReach::Table);
        } catch (const std::exception& error) {
            const QString text = QString::fromUtf8(error.what());
            report(explainedText(context(error), text), FailureReach::Step, {}, {}, text);
        }
        return std::nullopt;
    }
    static QString explainedText(const QString& context, const QString& text);
    // Shows or counts one failure. ownText is the failure's text without the context put before it.
    void report(const QString& description, FailureReach reach, const QString& repeatKey = {}, const QString& number = {},
                const QString& ownText = {});
    // A window closed meanwhile (during a box, say) ends the handler before its next step.
    void stopIfEnding() const;

    Dialogs& dialogs_;
    QString path_;
    const EventPump* events_;
    int line_ = 0;
    int failures_ = 0;
    QString lastFailure_;
    QString lastFailureText_;
    bool ended_ = false;
    bool tableEnded_ = false;
    bool inTable_ = false;
    int tableBoxes_ = 0;
    struct Reported {
        QString key;
        RepeatedFailure failure;
    };
    std::vector<Reported> reported_;  // this table's errors with a repeat key
    TableFailures table_;
    std::function<void()> beforeReport_;
};

} // namespace platform
