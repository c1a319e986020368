#pragma once

#include "app/operation_error.h"

namespace tableops {

// The temporary file of a table's rows failed (no space, no folder, a read error): the table's
// remaining rows cannot be had, and the next table may well fare better.
class RowBufferError : public app::OperationError {
public:
    using OperationError::OperationError;
    app::FailureReach reach() const override { return app::FailureReach::Table; }
};

} // namespace tableops
