#pragma once

#include "app/widgets/home_page_visit.h"
#include "oracle/odbc_driver.h"

#include <QString>
#include <functional>

namespace app {
class Dialogs;
class SettingsStore;
class EventPump;
class Journal;
}

namespace ui {

// What both pages are given by start-up: the boxes, the settings, the event pump, the
// program folder with its optional files, how the program ends, the journal of what was done, and
// the ODBC driver that every connection goes through.
struct PageServices {
    app::Dialogs& dialogs;
    app::SettingsStore& settings;
    app::EventPump& events;
    app::HomePageVisit homePage;
    QString programFolder;
    std::function<void()> endProgram;
    app::Journal& journal;
    // The title of both pages' plain boxes: empty until the login page's load sets it.
    QString applicationTitle = QString();
    oracle::DriverRoute drivers = oracle::DriverRoute();
};

} // namespace ui
