#pragma once

#include <QString>
#include <functional>

namespace app {

class Dialogs;

// Runs a handler's numbered steps under one error trap. A failing step (any exception, from the
// step itself or from a routine it called) shows the error report with the handler's path and
// the current step number; the handler then goes on with its next written step.
class StepTrap {
public:
    StepTrap(Dialogs& dialogs, QString procedurePath);

    // Runs one numbered step. Returns false when it failed (and was reported).
    bool step(int line, const std::function<void()>& action);

    // A numbered condition. A failing test is reported and counts as true: the block is entered.
    bool when(int line, const std::function<bool()>& test);

    // The end test of a walk over a result set. A failing test is reported and ends the walk,
    // so nothing can loop on error reports.
    bool more(int line, const std::function<bool()>& test);

    // Passes a numbered point where nothing can fail (a loop head, say).
    void mark(int line) { line_ = line; }

    int line() const { return line_; }
    QString procedurePath() const { return path_; }
    int failures() const { return failures_; }
    // Set once a failure said the connection is gone: walks stop then instead of failing row by row.
    bool operationEnded() const { return ended_; }

private:
    template <typename Result, typename Action>
    bool guarded(int line, Result& result, const Action& action);
    void report(const QString& description);

    Dialogs& dialogs_;
    QString path_;
    int line_ = 0;
    int failures_ = 0;
    bool ended_ = false;
};

} // namespace app
