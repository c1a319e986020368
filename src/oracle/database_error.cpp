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

QString DatabaseError::repeatKey() const
{
    const QString key = sqlState_ + QLatin1Char('/') + QString::number(nativeError_);
    return nativeError_ != 0 ? key : key + QLatin1Char('/') + text();
}

} // namespace oracle
