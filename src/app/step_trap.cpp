#include "app/step_trap.h"

#include "app/dialogs.h"
#include "app/error_report.h"

namespace app {

StepTrap::StepTrap(Dialogs& dialogs, QString procedurePath)
    : dialogs_(dialogs), path_(std::move(procedurePath))
{
}

void StepTrap::report(const QString& description)
{
    ++failures_;
    ShowErrorReport(dialogs_, description, path_, line_);
}

} // namespace app
