#pragma once

#include <QString>

namespace app {
class TableList;
class EventPump;
}

namespace oracle {

// Refills the list with the tables the connection string's user owns. The list is cleared only
// once the query has run, so a failing side keeps what it showed.
void FillTableList(app::TableList& list, const QString& connectionString, app::EventPump& events);

} // namespace oracle
