#pragma once

#include "tableops/row_buffer.h"

#include <QString>

namespace app {
class StepTrap;
class EventPump;
class ProgressDisplay;
}
namespace oracle {
class Connection;
}

namespace tableops {

// Reads every row of the source table, then sends one INSERT per row to the target, moving the
// progress bar after each. Rows beyond the memory limit wait in a temporary file meanwhile.
void CopyTableRows(app::StepTrap& trap, oracle::Connection& source, oracle::Connection& target,
                   const QString& tableName, app::EventPump& events, app::ProgressDisplay& progress,
                   const RowBufferLimits& limits = {});

} // namespace tableops
