#include "oracle/connection_profile.h"

#include "oracle/connection.h"
#include "oracle/odbc_driver.h"

namespace oracle {

QString BuildConnectionString(const ConnectionProfile& profile)
{
    return ConnectionStringFor(profile, OdbcDriver{kMicrosoftDriverName, DatabaseKeyword::Server});
}

bool TestConnection(const QString& connectionString)
{
    try {
        Connection connection;
        connection.open(connectionString);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace oracle
