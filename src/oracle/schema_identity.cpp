#include "oracle/schema_identity.h"

#include "oracle/connection.h"
#include "oracle/database_error.h"
#include "oracle/sql_statements.h"

namespace oracle {

namespace {

// ORA-02003: the server has no such USERENV parameter. Only then is the database's name the
// answer: the same server refuses the id on every connection, so both sides are known alike.
bool refusesParameter(const DatabaseError& error)
{
    return error.nativeError() == 2003 || error.text().contains(QLatin1String("ORA-02003"));
}

// The first value of a one-row query; empty when there is no row.
QString firstValue(Connection& connection, const QString& sql)
{
    ResultSet result = connection.execute(sql);
    return result.eof() ? QString() : result.value(0).toText();
}

} // namespace

std::optional<SchemaIdentity> LearnSchemaIdentity(Connection& connection)
{
    SchemaIdentity identity;
    ResultSet user = connection.execute(sql::SessionUser());
    if (user.eof())
        return std::nullopt;
    identity.user = user.value(0).toText();
    identity.userId = user.value(1).toText();
    identity.userCreated = user.value(2).toText();
    try {
        identity.database = firstValue(connection, sql::DatabaseId());
    } catch (const DatabaseError& error) {
        // A server without the id answers the name instead; any other failure is the caller's.
        if (!refusesParameter(error))
            throw;
        identity.databaseById = false;
        identity.database = firstValue(connection, sql::DatabaseName()).toUpper();
    }
    if (identity.user.isEmpty() || identity.userId.isEmpty() || identity.userCreated.isEmpty()
        || identity.database.isEmpty())
        return std::nullopt;
    return identity;
}

} // namespace oracle
