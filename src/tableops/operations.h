#pragma once

#include "oracle/connection_profile.h"

#include <QString>

// The table operations the tables page runs, each under its handler's step trap.

namespace platform {
class EventPump;
class StepTrap;
class TableList;
}

namespace tableops {

struct PageContext;

// Copies every selected table of the source side's list to the other side: definition, then
// rows, asking before it overwrites a table of the same name.
void SendTables(platform::StepTrap& trap, const PageContext& page, oracle::DatabaseSide sourceSide,
                oracle::DatabaseSide targetSide);

// Drops every selected table of the side's list, last entry first, each entry leaving the list
// right after its statement.
void DeleteTables(platform::StepTrap& trap, const PageContext& page, oracle::DatabaseSide side);

// Asks for a new name of the one selected table of the side's list and renames it.
void RenameTable(platform::StepTrap& trap, const PageContext& page, oracle::DatabaseSide side);

// Refills the list with the tables the connection string's user owns (user_tables, as the server
// gives them), letting events run once per name. The list is cleared only once the names are
// read, so a failing side keeps what it showed. Throws DatabaseError when the connection or the
// query fails.
void FillTableList(platform::TableList& list, const QString& connectionString, platform::EventPump& events);

} // namespace tableops
