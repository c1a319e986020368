#include "oracle/table_catalogue.h"

#include "app/controls.h"
#include "oracle/odbc_connection.h"
#include "oracle/sql_statements.h"

namespace oracle {

void FillTableList(app::TableList& list, const QString& connectionString, app::EventPump& events)
{
    Connection connection;
    connection.setCursorLocation(CursorLocation::Client);
    connection.open(connectionString);
    ResultSet tables = connection.execute(sql::UserTables());
    list.clear();
    const auto count = static_cast<qint32>(tables.recordCount());
    for (qint32 i = 1; i <= count; ++i) {
        events.yield();
        list.add(tables.value(0).toText());
        tables.moveNext();
    }
    tables.close();
    connection.close();
}

} // namespace oracle
