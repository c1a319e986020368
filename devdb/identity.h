#pragma once
// Who a database says it is: SYS_CONTEXT('USERENV', ...) answers. A database's own name is the
// SID it was first created under (kept in its file, so an alias answers the same); a database
// marked as a pluggable database of a container answers the container's name for
// DB_UNIQUE_NAME and DB_NAME, and its own for CON_NAME.
#include <optional>
#include <string>

namespace devdb {

struct DatabaseIdentity {
    std::string name;      // the database's own name
    std::string container; // empty: not a pluggable database
};

// SYS_CONTEXT(nameSpace, parameter) for a session of `user`. Namespaces other than USERENV have
// no attributes here (NULL, as an unset application context); an unknown USERENV parameter
// fails with ORA-02003 as in Oracle.
std::optional<std::string> sysContext(const std::string& nameSpace, const std::string& parameter,
                                      const DatabaseIdentity& id, const std::string& user);

} // namespace devdb
