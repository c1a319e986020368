#include "oracle/database_error.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace oracle {

platform::FailureReach DatabaseError::reach() const
{
    if (SaysConnectionGone(sqlState_, nativeError_, text()))
        return platform::FailureReach::Operation;
    if (SaysNoSpaceLeft(nativeError_, text()))
        return platform::FailureReach::Table;
    return platform::FailureReach::Step;
}

QString DatabaseError::repeatKey() const
{
    const QString key = sqlState_ + QLatin1Char('/') + QString::number(nativeError_);
    return nativeError_ != 0 ? key : key + QLatin1Char('/') + text();
}

QString DatabaseError::errorNumber() const
{
    return nativeError_ != 0 ? QStringLiteral("ORA-%1").arg(nativeError_, 5, 10, QLatin1Char('0')) : QString();
}

namespace {

// ORA numbers of a session that is gone: lost link, killed or ended session, an instance that is
// down or going down, idle or connect time exceeded.
constexpr std::array kConnectionGone = {
    28,     // your session has been killed
    603,    // ORACLE server session terminated by fatal error
    1012,   // not logged on
    1033,   // initialization or shutdown in progress
    1034,   // ORACLE not available
    1041,   // internal error, hostdef extension doesn't exist
    1089,   // immediate shutdown in progress
    1090,   // shutdown in progress
    1092,   // ORACLE instance terminated
    2396,   // exceeded maximum idle time
    2399,   // exceeded maximum connect time
    3113,   // end-of-file on communication channel
    3114,   // not connected to ORACLE
    3135,   // connection lost contact
    12152,  // TNS: unable to send break message
    12153,  // TNS: not connected
    12537,  // TNS: connection closed
    12547,  // TNS: lost contact
    12560,  // TNS: protocol adapter error
    12570,  // TNS: packet reader failure
    12571,  // TNS: packet writer failure
    12583,  // TNS: no reader
    25408,  // can not safely replay call
};

// ORA numbers of a target that cannot take more rows: no space, no quota, an edition's size cap.
constexpr std::array kNoSpaceLeft = {
    257,    // archiver error (stuck archiver)
    1536,   // space quota exceeded for tablespace
    1631,   // max # extents reached in table
    1632,   // max # extents reached in index
    1652,   // unable to extend temp segment
    1653,   // unable to extend table
    1654,   // unable to extend index
    1655,   // unable to extend cluster
    1658,   // unable to create INITIAL extent
    1683,   // unable to extend index partition
    1688,   // unable to extend table partition
    1691,   // unable to extend lob segment
    1692,   // unable to extend lob segment partition
    1950,   // no privileges on tablespace (a user without quota)
    12952,  // the request exceeds the maximum allowed database size
    12953,  // the request exceeds the maximum allowed database size of the edition
    16038,  // log cannot be archived
    30036,  // unable to extend segment in undo tablespace
};

// The driver's native number where it gives one, and every "ORA-nnnnn" its text names: drivers
// differ in which of the two carries the number.
template <size_t N>
bool names(const std::array<int, N>& codes, int nativeError, const QString& text)
{
    if (std::find(codes.begin(), codes.end(), nativeError) != codes.end())
        return true;
    // Oracle writes its numbers with five digits: a longer run is somebody's text, not the verdict.
    static const QRegularExpression oraNumber(QStringLiteral("ORA-(\\d{5})(?!\\d)"));
    for (auto match = oraNumber.globalMatch(text); match.hasNext();) {
        const int code = match.next().captured(1).toInt();
        if (std::find(codes.begin(), codes.end(), code) != codes.end())
            return true;
    }
    return false;
}

} // namespace

bool SaysConnectionGone(const QString& sqlState, int nativeError, const QString& text)
{
    return sqlState.startsWith(QLatin1String("08")) || names(kConnectionGone, nativeError, text);
}

bool SaysNoSpaceLeft(int nativeError, const QString& text)
{
    return names(kNoSpaceLeft, nativeError, text);
}

bool SaysNoSuchTable(const std::exception& failure)
{
    const auto* error = dynamic_cast<const DatabaseError*>(&failure);
    return error && names(std::array{942}, error->nativeError(), error->text());
}

} // namespace oracle
