#pragma once

#include <QString>
#include <QStringList>

namespace oracle {

// The names of the tables the connection string's user owns, as the server gives them (its order,
// its spelling). Throws DatabaseError when the connection or the query fails.
QStringList ReadOwnedTableNames(const QString& connectionString);

} // namespace oracle
