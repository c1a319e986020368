#pragma once

#include <QString>

namespace app {
class StepTrap;
class EventPump;
}
namespace oracle {
class Connection;
}

namespace tableops {

// The type text of a column: the catalogue type, with "(length)" only where Oracle reads the
// number as a length (character and raw types) and it lies between 1 and 8000.
QString ColumnTypeText(const QString& dataType, const QString& dataLengthText);

// Recreates the table on the target from the source's column catalogue. True when the
// CREATE TABLE went through.
bool CopyTableDefinition(app::StepTrap& trap, oracle::Connection& source, oracle::Connection& target,
                         const QString& tableName, app::EventPump& events);

} // namespace tableops
