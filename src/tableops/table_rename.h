#pragma once

#include "oracle/connection_profile.h"

namespace app {
class StepTrap;
}

namespace tableops {

struct PageContext;

// Asks for a new name of the one selected table of the side's list and renames it.
void RenameTable(app::StepTrap& trap, const PageContext& page, oracle::DatabaseSide side);

} // namespace tableops
