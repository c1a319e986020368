#pragma once

#include "app/operation_error.h"

namespace oracle {

// A failure of the database layer, carrying the driver's own diagnostic text unchanged, its
// SQLSTATE and its native error number (Oracle's ORA number).
class DatabaseError : public app::OperationError {
public:
    DatabaseError(const QString& text, QString sqlState, int nativeError = 0)
        : OperationError(text), sqlState_(std::move(sqlState)), nativeError_(nativeError)
    {
    }

    QString sqlState() const { return sqlState_; }
    int nativeError() const { return nativeError_; }
    app::FailureReach reach() const override;
    // The SQLSTATE and native number; the text too where the driver gives no number.
    QString repeatKey() const override;

private:
    QString sqlState_;
    int nativeError_ = 0;
};

// A connection that could not be opened: nothing of the operation that needed it can run.
class ConnectFailure : public DatabaseError {
public:
    explicit ConnectFailure(const DatabaseError& error) : DatabaseError(error) {}
    app::FailureReach reach() const override { return app::FailureReach::Operation; }
};

} // namespace oracle
