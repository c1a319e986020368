#include "app/step_trap.h"

#include "app/dialogs.h"
#include "app/error_report.h"
#include "app/operation_error.h"

#include <exception>

namespace app {

StepTrap::StepTrap(Dialogs& dialogs, QString procedurePath)
    : dialogs_(dialogs), path_(std::move(procedurePath))
{
}

template <typename Result, typename Action>
bool StepTrap::guarded(int line, Result& result, const Action& action)
{
    line_ = line;
    try {
        result = action();
        return true;
    } catch (const OperationCancelled&) {
        throw;
    } catch (const OperationError& error) {
        if (error.endsOperation())
            ended_ = true;
        report(error.text());
    } catch (const std::exception& error) {
        report(QString::fromUtf8(error.what()));
    }
    return false;
}

bool StepTrap::step(int line, const std::function<void()>& action)
{
    bool unused = false;
    return guarded(line, unused, [&] { action(); return true; });
}

bool StepTrap::when(int line, const std::function<bool()>& test)
{
    bool result = true;
    if (!guarded(line, result, test))
        return true;
    return result;
}

bool StepTrap::more(int line, const std::function<bool()>& test)
{
    bool result = false;
    if (!guarded(line, result, test))
        return false;
    return result && !ended_;
}

void StepTrap::report(const QString& description)
{
    ++failures_;
    ShowErrorReport(dialogs_, description, path_, line_);
}

} // namespace app
