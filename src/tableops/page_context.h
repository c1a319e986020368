#pragma once

#include "oracle/connection_profile.h"
#include "oracle/odbc_driver.h"
#include "platform/journal.h"
#include "platform/ports.h"
#include "tableops/row_buffer.h"
#include "tableops/row_writers.h"

namespace tableops {

// What the table operations use of the tables page and of the login fields, and the journal they
// tell what they did.
struct PageContext {
    platform::Dialogs& dialogs;
    platform::PagePointer& pointer;
    platform::EventPump& events;
    platform::ProgressDisplay& progress;
    platform::Journal& journal;
    const oracle::ProfileSource& profiles;
    platform::TableList& side1List;
    platform::TableList& side2List;
    QString applicationTitle;
    RowBufferLimits rowBuffer = {};
    oracle::DriverRoute drivers = oracle::DriverRoute();
    // Rows to a batch in a copy: 1 sends each row as its own literal INSERT.
    BatchSize batch = BatchSize();

    platform::TableList& list(oracle::DatabaseSide side) const { return side == oracle::DatabaseSide::One ? side1List : side2List; }
    QString connectionString(oracle::DatabaseSide side) const
    {
        return drivers.connectionString(profiles.CurrentProfile(side));
    }
};

} // namespace tableops
