#pragma once

#include "app/controls.h"
#include "app/dialogs.h"
#include "app/journal.h"
#include "oracle/connection_profile.h"
#include "oracle/odbc_driver.h"
#include "tableops/row_buffer.h"

namespace tableops {

// What the table operations use of the tables page and of the login fields, and the journal they
// tell what they did.
struct PageContext {
    app::Dialogs& dialogs;
    app::PagePointer& pointer;
    app::EventPump& events;
    app::ProgressDisplay& progress;
    app::Journal& journal;
    const oracle::ProfileSource& profiles;
    app::TableList& side1List;
    app::TableList& side2List;
    QString applicationTitle;
    RowBufferLimits rowBuffer = {};
    oracle::DriverRoute drivers = oracle::DriverRoute();

    app::TableList& list(oracle::DatabaseSide side) const { return side == oracle::DatabaseSide::One ? side1List : side2List; }
    QString connectionString(oracle::DatabaseSide side) const
    {
        return drivers.connectionString(profiles.CurrentProfile(side));
    }
};

} // namespace tableops
