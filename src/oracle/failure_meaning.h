#pragma once

#include <QString>

namespace oracle {

// What a database failure says about the statements that would follow it. Most failures concern
// their own statement; these will fail everything after them the same way, so a report for each
// would bury the user in boxes.

// The session is gone (a connection-class SQLSTATE, or Oracle's own texts for a dead session,
// whatever SQLSTATE the driver put on them): nothing more can run on the connection.
bool SaysConnectionGone(const QString& sqlState, int nativeError, const QString& text);

// The target cannot take more (no space, quota exceeded, archiver stuck, undo full): every further
// row fails the same way until space is freed.
bool SaysNoSpaceLeft(int nativeError, const QString& text);

} // namespace oracle
