#include "oracle/schema_identity.h"

#include "oracle/connection.h"
#include "oracle/database_error.h"
#include "oracle/sql_statements.h"

namespace oracle {

std::optional<SchemaIdentity> LearnSchemaIdentity(Connection& connection)
{
    SchemaIdentity identity;
    try {
        ResultSet result = connection.execute(sql::SessionIdentity());
        if (result.eof())
            return std::nullopt;
        identity.database = result.value(0).toText().toUpper();
        identity.schema = result.value(1).toText();
    } catch (const DatabaseError&) {
        return std::nullopt;
    }
    if (identity.database.isEmpty() || identity.schema.isEmpty())
        return std::nullopt;
    try {
        ResultSet result = connection.execute(sql::ContainerName());
        if (!result.eof())
            identity.container = result.value(0).toText().toUpper();
    } catch (const DatabaseError&) {
        // Servers before pluggable databases refuse the parameter (ORA-02003); the database's
        // name alone identifies the database there.
    }
    return identity;
}

bool SameSchema(const std::optional<SchemaIdentity>& first, const std::optional<SchemaIdentity>& second,
                const ConnectionProfile& firstProfile, const ConnectionProfile& secondProfile)
{
    if (first && second)
        return *first == *second;
    return QString::compare(firstProfile.sid, secondProfile.sid, Qt::CaseInsensitive) == 0
        && QString::compare(firstProfile.user, secondProfile.user, Qt::CaseInsensitive) == 0;
}

} // namespace oracle
