#include "app/step_trap.h"

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/error_report.h"

namespace app {

StepTrap::StepTrap(Dialogs& dialogs, QString procedurePath, const EventPump* events)
    : dialogs_(dialogs), path_(std::move(procedurePath)), events_(events)
{
}

void StepTrap::report(const QString& description, FailureReach reach)
{
    ++failures_;
    if (reach == FailureReach::Operation)
        ended_ = true;
    if (reach == FailureReach::Table)
        tableEnded_ = true;
    ShowErrorReport(dialogs_, description, path_, line_);
    stopIfEnding();
}

void StepTrap::stopIfEnding() const
{
    if (events_ && events_->ending())
        throw OperationCancelled();
}

} // namespace app
