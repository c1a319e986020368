#pragma once

#include "platform/operation_error.h"

#include <QString>
#include <exception>

namespace oracle {

// A failure of the database layer, carrying the driver's own diagnostic text unchanged, its
// SQLSTATE and its native error number (Oracle's ORA number).
class DatabaseError : public platform::OperationError {
public:
    DatabaseError(const QString& text, QString sqlState, int nativeError = 0)
        : OperationError(text), sqlState_(std::move(sqlState)), nativeError_(nativeError)
    {
    }

    QString sqlState() const { return sqlState_; }
    int nativeError() const { return nativeError_; }
    platform::FailureReach reach() const override;
    // The SQLSTATE and native number; the text too where the driver gives no number.
    QString repeatKey() const override;
    // "ORA-" and the native number in Oracle's five digits; empty without a number.
    QString errorNumber() const override;

private:
    QString sqlState_;
    int nativeError_ = 0;
};

// A connection that could not be opened: nothing of the operation that needed it can run.
class ConnectFailure : public DatabaseError {
public:
    explicit ConnectFailure(const DatabaseError& error) : DatabaseError(error) {}
    platform::FailureReach reach() const override { return platform::FailureReach::Operation; }
};

// What a database failure says about the statements that would follow it. Most failures concern
// their own statement; these will fail everything after them the same way, so a report for each
// would bury the user in boxes.

// The session is gone (a connection-class SQLSTATE, or Oracle's own texts for a dead session,
// whatever SQLSTATE the driver put on them): nothing more can run on the connection.
bool SaysConnectionGone(const QString& sqlState, int nativeError, const QString& text);

// The target cannot take more (no space, quota exceeded, archiver stuck, undo full): every further
// row fails the same way until space is freed.
bool SaysNoSpaceLeft(int nativeError, const QString& text);

// The statement named a table that does not exist (ORA-00942), as a failure of any kind may say.
bool SaysNoSuchTable(const std::exception& failure);

} // namespace oracle
