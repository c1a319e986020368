#include "tableops/row_writers.h"

#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "platform/ports.h"
#include "platform/step_trap.h"

#include <QLocale>

namespace tableops {

RowProgress::RowProgress(platform::StepTrap& trap, platform::ProgressDisplay& progress, QString tableName,
                         std::int64_t rowCount)
    : trap_(trap), progress_(progress), tableName_(std::move(tableName)), rowCount_(rowCount)
{
    // A refused row's box shows how many rows are in, not the count last drawn.
    trap_.setBeforeReport([this] { showCount(); });
}

RowProgress::~RowProgress() { trap_.setBeforeReport({}); }

void RowProgress::showCount() { progress_.showWork(RowsWrittenText(tableName_, inserted_, rowCount_), false); }

void RowProgress::rowsDone(std::int64_t sent, std::int64_t inserted)
{
    inserted_ = inserted;
    const int share = ProgressPercent(sent, rowCount_);
    if (share != shownShare_ || sent == rowCount_ || !sinceCount_.isValid() || sinceCount_.elapsed() >= 200) {
        showCount();
        sinceCount_.start();
    }
    progress_.setValue(share);
    shownShare_ = share;
}

InsertedRows InsertRowsOneByOne(const RowTarget& target, TableRows& rows)
{
    platform::StepTrap& trap = target.trap;
    trap.mark(250);
    InsertedRows result;
    const std::int64_t rowCount = rows.buffer.count();
    RowProgress progress(trap, target.progress, target.tableName, rowCount);
    oracle::sql::InsertRowStatement insert(target.tableName);
    // A target that cannot take more ends the table's rows after its one report.
    for (std::int64_t i = 0; i < rowCount && !trap.tableEnded(); ++i) {
        trap.step(254, [&] { target.events.yield(); });
        bool built = false;
        // A row the temporary file cannot give back ends the table after its one report.
        trap.step(256, [&] {
            insert.start();
            rows.buffer.forEachValue(i, [&](int column, const PackedValue& value) {
                AddPackedValue(insert, value, size_t(column) < rows.sqlTypes.size() ? rows.sqlTypes[size_t(column)] : short(0));
            });
            insert.finish();
            built = true;
        });
        if (built && trap.step(280, [&] { target.connection.execute(insert.text()); }))
            ++result.inserted;
        else
            ++result.refused;
        trap.step(282, [&] { progress.rowsDone(i + 1, result.inserted); });
    }
    return result;
}

std::optional<int> ParseBatchRows(const QString& text)
{
    bool isNumber = false;
    const int rows = text.trimmed().toInt(&isNumber);
    if (!isNumber || rows < kRowsOneByOne || rows > kMostBatchRows)
        return std::nullopt;
    return rows;
}

BatchSize ChooseBatchSize(std::optional<int> commandLine, const QString& setting)
{
    if (commandLine)
        return {*commandLine, {}};
    if (setting.trimmed().isEmpty())
        return {};
    if (const std::optional<int> rows = ParseBatchRows(setting))
        return {*rows, {}};
    return {kRowsOneByOne, QStringLiteral("the setting %1 \"%2\" is not a whole number from 1 to %3")
                               .arg(kBatchRowsKey, setting, QLocale(QLocale::English).toString(kMostBatchRows))};
}

InsertedRows InsertTableRows(const RowTarget& target, TableRows& rows, int batchRows)
{
    return batchRows > kRowsOneByOne ? InsertRowsInBatches(target, rows, batchRows) : InsertRowsOneByOne(target, rows);
}

} // namespace tableops
