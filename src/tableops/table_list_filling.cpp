#include "tableops/table_list_filling.h"

#include "app/controls.h"
#include "oracle/table_catalogue.h"

#include <algorithm>

namespace tableops {

void FillTableList(app::TableList& list, const QString& connectionString, app::EventPump& events)
{
    QStringList names = oracle::ReadOwnedTableNames(connectionString);
    // In the list's own order each name joins at the end: the fill stays linear however many
    // names there are, where the server's order would have each one pushed into the middle.
    std::sort(names.begin(), names.end(), app::TableNameLess);
    list.clear();
    for (const QString& name : names) {
        events.yield();
        list.add(name);
    }
}

} // namespace tableops
