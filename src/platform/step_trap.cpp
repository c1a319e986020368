#include "platform/step_trap.h"

#include "platform/ports.h"

#include <algorithm>

namespace platform {

StepTrap::StepTrap(Dialogs& dialogs, QString procedurePath, const EventPump* events)
    : dialogs_(dialogs), path_(std::move(procedurePath)), events_(events)
{
}

namespace {

// Distinct failure texts a table keeps for the journal: rows refused each with a text of its own
// would otherwise fill the memory with them.
constexpr std::size_t kTextsKeptPerTable = 20;

} // namespace

QString StepTrap::explainedText(const QString& context, const QString& text)
{
    return context.isEmpty() ? text : context + QStringLiteral("\r\n\r\n") + text;
}

void StepTrap::report(const QString& description, FailureReach reach, const QString& repeatKey, const QString& number,
                      const QString& ownText)
{
    ++failures_;
    lastFailure_ = description;
    lastFailureText_ = ownText.isEmpty() ? description : ownText;
    if (reach == FailureReach::Operation)
        ended_ = true;
    if (reach == FailureReach::Table)
        tableEnded_ = true;
    if (inTable_) {
        const QString& text = lastFailureText_;
        const auto counted = std::find_if(table_.texts.begin(), table_.texts.end(),
                                          [&](const FailureCount& failure) { return failure.text == text; });
        if (counted != table_.texts.end())
            ++counted->count;
        else if (table_.texts.size() < kTextsKeptPerTable)
            table_.texts.push_back({text, 1});
        else
            ++table_.otherTexts;
        if (!repeatKey.isEmpty()) {
            const auto seen = std::find_if(reported_.begin(), reported_.end(),
                                           [&](const Reported& reported) { return reported.key == repeatKey; });
            if (seen != reported_.end()) {
                ++seen->failure.count;
                return;
            }
        }
        // Failures that end the table or the run are always shown: they say why it stopped.
        if (tableBoxes_ >= kBoxesPerTable && reach == FailureReach::Step) {
            ++table_.unshown;
            return;
        }
        ++tableBoxes_;
        if (!repeatKey.isEmpty())
            reported_.push_back({repeatKey, {text, number, 0}});
    }
    if (beforeReport_)
        beforeReport_();
    ShowErrorReport(dialogs_, description, path_, line_);
    stopIfEnding();
}

void StepTrap::beginTable()
{
    tableEnded_ = false;
    inTable_ = true;
    tableBoxes_ = 0;
    reported_.clear();
    table_ = {};
}

StepTrap::TableFailures StepTrap::endTable()
{
    TableFailures failures = std::move(table_);
    for (Reported& reported : reported_)
        if (reported.failure.count > 0)
            failures.repeated.push_back(std::move(reported.failure));
    reported_.clear();
    table_ = {};
    inTable_ = false;
    return failures;
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
