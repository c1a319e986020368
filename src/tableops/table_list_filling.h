#pragma once

#include <QString>

namespace app {
class EventPump;
class TableList;
}

namespace tableops {

// Refills the list with the tables the connection string's user owns, letting events run once per
// name. The list is cleared only once the names are read, so a failing side keeps what it showed.
void FillTableList(app::TableList& list, const QString& connectionString, app::EventPump& events);

} // namespace tableops
