#pragma once

// Moving one table, the copy run's part for each: its definition read from the source's catalogue
// and created on the target, and its rows read whole (row_writers.h writes them).

#include "tableops/row_buffer.h"
#include "tableops/table_definition.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {
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
bool ReadTableRows(platform::StepTrap& trap, oracle::Connection& source, const QString& tableName, platform::EventPump& events,
                   TableRows& rows);

// "ORDERS: 12,345 of 1,000,000 rows"
QString RowsWrittenText(const QString& tableName, std::int64_t written, std::int64_t rowCount);


// Reads the table's columns from the source's catalogue. Empty when the catalogue could not be
// read, after one report: nothing is to be created from part of a table. Without the columns'
// details the definition still comes out, with the catalogue's lengths; without the names of the
// invisible columns, with none named.
std::optional<TableDefinition> ReadTableDefinition(platform::StepTrap& trap, oracle::Connection& source,
                                                   const QString& tableName, platform::EventPump& events);

// Creates the table on the target. True when the CREATE TABLE went through; otherwise its report
// starts with the context, when one is given.
bool CreateTableFromDefinition(platform::StepTrap& trap, oracle::Connection& target, const TableDefinition& definition,
                               const QString& failureContext = QString());

// The progress bar's share once rowsDone of rowCount rows are sent, rounded as the classic
// runtime rounded: half to even, so 12.5 shows 12 and 37.5 shows 38.
inline int ProgressPercent(std::int64_t rowsDone, std::int64_t rowCount)
{
    return int(std::nearbyint(double(rowsDone) / double(rowCount) * 100.0));
}

} // namespace tableops
