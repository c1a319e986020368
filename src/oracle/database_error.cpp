#include "oracle/database_error.h"

#include "oracle/failure_meaning.h"

namespace oracle {

app::FailureReach DatabaseError::reach() const
{
    if (SaysConnectionGone(sqlState_, nativeError_, text()))
        return app::FailureReach::Operation;
    if (SaysNoSpaceLeft(nativeError_, text()))
        return app::FailureReach::Table;
    return app::FailureReach::Step;
}

} // namespace oracle
