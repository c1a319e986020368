#pragma once

#include "tableops/row_buffer.h"

#include <QString>
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

// Sends one INSERT per row to the target, moving the progress bar after each.
void InsertTableRows(app::StepTrap& trap, oracle::Connection& target, const QString& tableName, app::EventPump& events,
                     app::ProgressDisplay& progress, TableRows& rows);

} // namespace tableops
