#include "platform/step_trap.h"

#include "platform/ports.h"

#include <algorithm>

namespace platform {

StepTrap::StepTrap(Dialogs& dialogs, QString procedurePath, const EventPump* events)
    : dialogs_(dialogs), path_(std::move(procedurePath)), events_(events)
{
}

void StepTrap::report(const QString& description, FailureReach reach, const QString& repeatKey)
{
    ++failures_;
    lastFailure_ = description;
    if (reach == FailureReach::Operation)
        ended_ = true;
    if (reach == FailureReach::Table)
        tableEnded_ = true;
    if (inTable_ && !repeatKey.isEmpty()) {
        const auto seen = std::find_if(reported_.begin(), reported_.end(),
                                       [&](const Reported& reported) { return reported.key == repeatKey; });
        if (seen != reported_.end()) {
            ++seen->failure.count;
            return;
        }
        reported_.push_back({repeatKey, {description, 0}});
    }
    ShowErrorReport(dialogs_, description, path_, line_);
    stopIfEnding();
}

void StepTrap::beginTable()
{
    tableEnded_ = false;
    inTable_ = true;
    reported_.clear();
}

std::vector<StepTrap::RepeatedFailure> StepTrap::endTable()
{
    std::vector<RepeatedFailure> repeated;
    for (Reported& reported : reported_)
        if (reported.failure.count > 0)
            repeated.push_back(std::move(reported.failure));
    reported_.clear();
    inTable_ = false;
    return repeated;
}

void StepTrap::stopIfEnding() const
{
    if (events_ && events_->ending())
        throw OperationCancelled();
}

QString ErrorReportText(const QString& description, const QString& procedurePath, int line)
{
    return description + QStringLiteral("\r\n") + kProcedurePathPrefix + procedurePath
        + QStringLiteral(" ") + QStringLiteral("at line ") + QString::number(line) + QStringLiteral("\r\r")
        + QStringLiteral("Please email screenshot of this message to ") + QString::fromLatin1(kSupportAddress);
}

void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& procedurePath, int line)
{
    dialogs.errorReport(ErrorReportText(description, procedurePath, line));
}

} // namespace platform
