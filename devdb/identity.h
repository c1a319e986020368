#pragma once
// Who a database says it is: SYS_CONTEXT('USERENV', ...) answers. A database's own name is the
// SID it was first created under (kept in its file, so an alias answers the same); a database
// marked as a pluggable database of a container answers the container's name for
// DB_UNIQUE_NAME and DB_NAME, and its own for CON_NAME. CON_DBID is the id kept in the file; a
// unique name set apart (a standby's) answers DB_UNIQUE_NAME alone.
#include <optional>
#include <string>

namespace devdb {

struct DatabaseIdentity {
    std::string name;       // the database's own name
    std::string container;  // empty: not a pluggable database
    std::string databaseId; // CON_DBID: made anew for every database file, kept by copies and aliases
    std::string uniqueName; // DB_UNIQUE_NAME when set apart from the name (a standby's), else empty
};

// SYS_CONTEXT(nameSpace, parameter) for a session of `user`. Namespaces other than USERENV have
// no attributes here (NULL, as an unset application context); an unknown USERENV parameter
// fails with ORA-02003 as in Oracle.
std::optional<std::string> sysContext(const std::string& nameSpace, const std::string& parameter,
                                      const DatabaseIdentity& id, const std::string& user);

} // namespace devdb
