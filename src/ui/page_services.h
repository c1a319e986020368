#pragma once

#include "desktop/application_identity.h"
#include "oracle/connection_profile.h"
#include "oracle/odbc_driver.h"

#include <QString>
#include <functional>
#include <optional>

namespace platform {
class Dialogs;
class SettingsStore;
class EventPump;
class Journal;
}

namespace ui {

// What both pages are given by start-up: the boxes, the settings, the event pump, the
// program folder with its optional files, how the program ends, the journal of what was done, and
// the ODBC driver that every connection goes through, and the command line's batch size.
struct PageServices {
    platform::Dialogs& dialogs;
    platform::SettingsStore& settings;
    platform::EventPump& events;
    desktop::HomePageVisit homePage;
    QString programFolder;
    std::function<void()> endProgram;
    platform::Journal& journal;
    // The title of both pages' plain boxes: empty until the login page's load sets it.
    QString applicationTitle = QString();
    oracle::DriverRoute drivers = oracle::DriverRoute();
    // The batch size given on the command line, which goes before the setting's.
    std::optional<int> batchRows = std::nullopt;
};

// The tables page as the login page reaches it, through whoever owns both pages: made, and
// loaded, the first time either is asked.
class TablesPageAccess {
public:
    virtual ~TablesPageAccess() = default;
    // Reads both lists anew from the login fields as they are now.
    virtual void reloadTablesPage() = 0;
    virtual void showTablesPage() = 0;
};

} // namespace ui
