#pragma once

#include "app/operation_error.h"

#include <QString>
#include <exception>
#include <optional>
#include <utility>

namespace app {

class Dialogs;

// Runs a handler's numbered steps under one error trap. A failing step (any exception, from the
// step itself or from a routine it called) shows the error report with the handler's path and
// the current step number; the handler then goes on with its next written step.
class StepTrap {
public:
    StepTrap(Dialogs& dialogs, QString procedurePath);

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
    // so nothing can loop on error reports.
    template <typename Test>
    bool more(int line, Test&& test)
    {
        return guarded(line, std::forward<Test>(test)).value_or(false) && !ended_;
    }

    // Passes a numbered point where nothing can fail (a loop head, say).
    void mark(int line) { line_ = line; }

    int line() const { return line_; }
    QString procedurePath() const { return path_; }
    int failures() const { return failures_; }
    // Set once a failure said the connection is gone: walks stop then instead of failing row by row.
    bool operationEnded() const { return ended_; }

private:
    // Steps run on every row of a copy, so they take the callable as it is, without wrapping it.
    template <typename Action>
    std::optional<bool> guarded(int line, Action&& action)
    {
        line_ = line;
        try {
            return bool(action());
        } catch (const OperationCancelled&) {
            throw;
        } catch (const OperationError& error) {
            if (error.endsOperation())
                ended_ = true;
            report(error.text());
        } catch (const std::exception& error) {
            report(QString::fromUtf8(error.what()));
        }
        return std::nullopt;
    }
    void report(const QString& description);

    Dialogs& dialogs_;
    QString path_;
    int line_ = 0;
    int failures_ = 0;
    bool ended_ = false;
};

} // namespace app
