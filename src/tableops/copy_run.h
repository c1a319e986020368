#pragma once

#include "oracle/connection_profile.h"

namespace app {
class StepTrap;
}

namespace tableops {

struct PageContext;

// Copies every selected table of the source side's list to the other side: definition, then
// rows, asking before it overwrites a table of the same name.
void SendTables(app::StepTrap& trap, const PageContext& page, oracle::DatabaseSide sourceSide,
                oracle::DatabaseSide targetSide);

} // namespace tableops
