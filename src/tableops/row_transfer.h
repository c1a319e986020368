#pragma once

#include "tableops/row_buffer.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace app {
class StepTrap;
class EventPump;
class ProgressDisplay;
}
namespace oracle {
class Connection;
}

namespace tableops {

// A table's rows as read from the source, with each column's SQL type (dates and timestamps are
// written back as escapes). Rows beyond the memory limit wait in a temporary file.
struct TableRows {
    explicit TableRows(const RowBufferLimits& limits) : buffer(limits) {}
    RowBuffer buffer;
    std::vector<short> sqlTypes;
};

// Reads every row of the source table. False when they could not all be read, after one report;
// the rows read so far are let go then.
bool ReadTableRows(app::StepTrap& trap, oracle::Connection& source, const QString& tableName, app::EventPump& events,
                   TableRows& rows);

// What became of a table's rows on the target.
struct InsertedRows {
    std::int64_t inserted = 0;
    std::int64_t refused = 0;
};

// Sends one INSERT per row to the target, moving the progress bar after each and saying in its
// text how many rows of how many are written.
InsertedRows InsertTableRows(app::StepTrap& trap, oracle::Connection& target, const QString& tableName,
                             app::EventPump& events, app::ProgressDisplay& progress, TableRows& rows);

// "ORDERS: 12,345 of 1,000,000 rows"
QString RowsWrittenText(const QString& tableName, std::int64_t written, std::int64_t rowCount);

} // namespace tableops
