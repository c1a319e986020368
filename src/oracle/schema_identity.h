#pragma once

#include "oracle/connection_profile.h"

#include <QString>
#include <optional>

namespace oracle {

class Connection;

// Which schema of which database a connection reached, as the server tells it. The database's
// unique name is shared by every pluggable database of one container, so the container's name
// goes with it; the server's host is left out, since it differs between the nodes of one
// clustered database.
struct SchemaIdentity {
    QString database;
    QString container;  // empty on servers without pluggable databases
    QString schema;

    friend bool operator==(const SchemaIdentity&, const SchemaIdentity&) = default;
};

// Asks the connection who it is. Empty when the server cannot tell (the query fails); a failure
// of the container's name alone only leaves that name empty.
std::optional<SchemaIdentity> LearnSchemaIdentity(Connection& connection);

// True when two connections reach the same schema of the same database, also under two names for
// one database. Without both identities the profiles decide: same SID and user, letter case aside.
bool SameSchema(const std::optional<SchemaIdentity>& first, const std::optional<SchemaIdentity>& second,
                const ConnectionProfile& firstProfile, const ConnectionProfile& secondProfile);

} // namespace oracle
