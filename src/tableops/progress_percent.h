#pragma once

#include <cmath>
#include <cstdint>

namespace tableops {

// The progress bar's share once rowsDone of rowCount rows are sent, rounded as the classic
// runtime rounded: half to even, so 12.5 shows 12 and 37.5 shows 38.
inline int ProgressPercent(std::int64_t rowsDone, std::int64_t rowCount)
{
    return int(std::nearbyint(double(rowsDone) / double(rowCount) * 100.0));
}

} // namespace tableops
