#pragma once

#include "oracle/connection_profile.h"

namespace app {
class StepTrap;
}

namespace tableops {

struct PageContext;

// Drops every selected table of the side's list, last entry first, each entry leaving the list
// right after its statement.
void DeleteTables(app::StepTrap& trap, const PageContext& page, oracle::DatabaseSide side);

} // namespace tableops
