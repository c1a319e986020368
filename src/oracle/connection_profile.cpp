#include "oracle/connection_profile.h"

#include "app/operation_error.h"
#include "oracle/connection.h"
#include "oracle/odbc_driver.h"

namespace oracle {

QString BuildConnectionString(const ConnectionProfile& profile)
{
    return ConnectionStringFor(profile, OdbcDriver{kMicrosoftDriverName, DatabaseKeyword::Server});
}

QString LoginText(DatabaseSide side, const ConnectionProfile& profile)
{
    return (side == DatabaseSide::One ? QStringLiteral("Oracle #1") : QStringLiteral("Oracle #2"))
        + QStringLiteral(" (SID \"") + profile.sid + QStringLiteral("\", user \"") + profile.user + QStringLiteral("\")");
}

bool TestConnection(const QString& connectionString) { return ConnectionFailure(connectionString).isEmpty(); }

QString ConnectionFailure(const QString& connectionString)
{
    try {
        Connection connection;
        connection.open(connectionString);
        return QString();
    } catch (const std::exception& error) {
        const QString text = app::FailureText(error);
        return text.isEmpty() ? QStringLiteral("Could not connect.") : text;
    } catch (...) {
        return QStringLiteral("Could not connect.");
    }
}

} // namespace oracle
