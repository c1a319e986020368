#pragma once

#include "app/operation_error.h"

namespace oracle {

// A failure of the database layer, carrying the driver's own diagnostic text unchanged.
class DatabaseError : public app::OperationError {
public:
    DatabaseError(const QString& text, QString sqlState) : OperationError(text), sqlState_(std::move(sqlState)) {}

    QString sqlState() const { return sqlState_; }
    // Connection-class states (08xxx): the link is gone, nothing more can run on it.
    bool endsOperation() const override { return sqlState_.startsWith(QLatin1String("08")); }

private:
    QString sqlState_;
};

} // namespace oracle
