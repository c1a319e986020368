#pragma once

#include "tableops/table_definition.h"

#include <QString>
#include <optional>

namespace app {
class StepTrap;
class EventPump;
}
namespace oracle {
class Connection;
}

namespace tableops {

// Reads the table's columns from the source's catalogue. Empty when the catalogue could not be
// read, after one report: nothing is to be created from part of a table. Without the columns'
// details the definition still comes out, with the catalogue's lengths; without the names of the
// invisible columns, with none named.
std::optional<TableDefinition> ReadTableDefinition(app::StepTrap& trap, oracle::Connection& source,
                                                   const QString& tableName, app::EventPump& events);

// Creates the table on the target. True when the CREATE TABLE went through.
bool CreateTableFromDefinition(app::StepTrap& trap, oracle::Connection& target, const TableDefinition& definition);

} // namespace tableops
