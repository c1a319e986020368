#include "oracle/table_catalogue.h"

#include "oracle/connection.h"
#include "oracle/sql_statements.h"

namespace oracle {

QStringList ReadOwnedTableNames(const QString& connectionString)
{
    Connection connection;
    connection.setCursorLocation(CursorLocation::Client);
    connection.open(connectionString);
    ResultSet tables = connection.execute(sql::UserTables());
    QStringList names;
    names.reserve(qsizetype(tables.recordCount()));
    for (; !tables.eof(); tables.moveNext())
        names << tables.value(0).toText();
    tables.close();
    connection.close();
    return names;
}

} // namespace oracle
