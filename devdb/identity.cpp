#include "identity.h"

#include "util.h"

#include <unistd.h>

namespace devdb {

namespace {
// The short host name, as Oracle's SERVER_HOST gives it.
std::string serverHost()
{
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0 || !buf[0]) return "localhost";
    std::string host = buf;
    host = host.substr(0, host.find('.'));
    for (char& c : host)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return host;
}
} // namespace

std::optional<std::string> sysContext(const std::string& nameSpace, const std::string& parameter,
                                      const DatabaseIdentity& id, const std::string& user)
{
    if (!iequals(trim(nameSpace), "USERENV")) return std::nullopt;
    const std::string p = upperAscii(trim(parameter));
    if (p == "DB_UNIQUE_NAME" && !id.uniqueName.empty()) return id.uniqueName;
    if (p == "DB_UNIQUE_NAME" || p == "DB_NAME") return id.container.empty() ? id.name : id.container;
    if (p == "CON_NAME") return id.name;
    if (p == "CON_DBID") return id.databaseId;
    if (p == "SESSION_USER" || p == "CURRENT_SCHEMA") return user;
    if (p == "SERVER_HOST") return serverHost();
    throwOra(2003, "invalid USERENV parameter");
}

} // namespace devdb
