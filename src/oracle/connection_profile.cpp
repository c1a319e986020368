#include "oracle/connection_profile.h"

#include "oracle/connection.h"
#include "platform/operation_error.h"

namespace oracle {

QString BuildConnectionString(const ConnectionProfile& profile)
{
    return ConnectionStringFor(profile, OdbcDriver{kMicrosoftDriverName, DatabaseKeyword::Server});
}

QString LoginText(DatabaseSide side, const ConnectionProfile& profile)
{
    // A user name typed as SQL*Plus takes it, "scott/tiger@KVMD", holds its password after the "/":
    // the journal keeps the name before it and shows that more was typed.
    const qsizetype slash = profile.user.indexOf(QLatin1Char('/'));
    const QString user = slash < 0 ? profile.user : profile.user.left(slash) + QStringLiteral("/***");
    return (side == DatabaseSide::One ? QStringLiteral("Oracle #1") : QStringLiteral("Oracle #2"))
        + QStringLiteral(" (SID \"") + profile.sid + QStringLiteral("\", user \"") + user + QStringLiteral("\")");
}

bool TestConnection(const QString& connectionString) { return ConnectionFailure(connectionString).isEmpty(); }

QString ConnectionFailure(const QString& connectionString)
{
    try {
        Connection connection;
        connection.open(connectionString);
        return QString();
    } catch (const std::exception& error) {
        const QString text = platform::FailureText(error);
        return text.isEmpty() ? QStringLiteral("Could not connect.") : text;
    } catch (...) {
        return QStringLiteral("Could not connect.");
    }
}

namespace {

// {value}, with every "}" inside doubled.
QString bracedValue(const QString& value)
{
    QString braced = value;
    braced.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + braced + QLatin1Char('}');
}

// A connection string value as typed, or braced by the ODBC rule when it holds ";", "{" or "}",
// so it can neither end its field nor add another key.
QString connectionValue(const QString& value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) && !value.contains(QLatin1Char('}')))
        return value;
    return bracedValue(value);
}

} // namespace

QString ConnectionStringFor(const ConnectionProfile& profile, const OdbcDriver& driver)
{
    const QString sid = connectionValue(profile.sid);
    QString database;
    switch (driver.keyword) {
    case DatabaseKeyword::Server:
        database = QStringLiteral("Server=") + sid;
        break;
    case DatabaseKeyword::Dbq:
        database = QStringLiteral("DBQ=") + sid;
        break;
    case DatabaseKeyword::ServerAndDbq:
        database = QStringLiteral("Server=") + sid + QStringLiteral(";DBQ=") + sid;
        break;
    }
    return QStringLiteral("Driver=") + bracedValue(driver.name) + QLatin1Char(';') + database + QStringLiteral(";Uid=")
        + connectionValue(profile.user) + QStringLiteral(";Pwd=") + connectionValue(profile.password)
        + QStringLiteral(";");
}

} // namespace oracle
