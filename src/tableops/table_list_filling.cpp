#include "tableops/operations.h"

#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "platform/list_routines.h"
#include "platform/ports.h"

#include <algorithm>

namespace tableops {

namespace {

// The names of the tables the user owns, in the server's order and spelling.
QStringList readOwnedTableNames(const QString& connectionString)
{
    oracle::Connection connection;
    connection.setCursorLocation(oracle::CursorLocation::Client);
    connection.open(connectionString);
    oracle::ResultSet tables = connection.execute(oracle::sql::UserTables());
    QStringList names;
    names.reserve(qsizetype(tables.recordCount()));
    for (; !tables.eof(); tables.moveNext())
        names << tables.value(0).toText();
    tables.close();
    connection.close();
    return names;
}

} // namespace

void FillTableList(platform::TableList& list, const QString& connectionString, platform::EventPump& events)
{
    QStringList names = readOwnedTableNames(connectionString);
    // In the list's own order each name joins at the end: the fill stays linear however many
    // names there are, where the server's order would have each one pushed into the middle.
    std::sort(names.begin(), names.end(), platform::TableNameLess);
    list.clear();
    for (const QString& name : names) {
        events.yield();
        list.add(name);
    }
}

} // namespace tableops
