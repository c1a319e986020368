#include "oracle/connection_profile.h"

#include "oracle/connection.h"

namespace oracle {

namespace {

QString connectionValue(const QString& value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) && !value.contains(QLatin1Char('}')))
        return value;
    QString braced = value;
    braced.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

} // namespace

QString BuildConnectionString(const ConnectionProfile& profile)
{
    return QStringLiteral("Driver={Microsoft ODBC for Oracle};Server=") + connectionValue(profile.sid)
        + QStringLiteral(";Uid=") + connectionValue(profile.user) + QStringLiteral(";Pwd=")
        + connectionValue(profile.password) + QStringLiteral(";");
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
