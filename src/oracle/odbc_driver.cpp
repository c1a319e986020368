#include "oracle/odbc_driver.h"

#include "oracle/database_error.h"
#include "oracle/odbc_handle.h"

#include <QRegularExpression>
#include <algorithm>
#include <iterator>

namespace oracle {

namespace {

bool isMicrosoftDriver(const QString& name) { return name.compare(kMicrosoftDriverName, Qt::CaseInsensitive) == 0; }

// Oracle's installers name its driver "Oracle <version> ODBC driver" (Linux) or "Oracle in <home>"
// (Windows).
bool isOracleDriver(const QString& name) { return name.startsWith(QLatin1String("Oracle "), Qt::CaseInsensitive); }

// The version a driver's name shows, as numbers: "Oracle 21 ODBC driver" 21, "Oracle in
// instantclient_21_12" 21.12, "Oracle in OraClient19Home1" 19 (the home's own number is not a
// version). Empty when the name shows none.
QList<int> versionInName(const QString& name)
{
    static const QRegularExpression version(QStringLiteral("\\d+(?:[._]\\d+)*"));
    QList<int> numbers;
    const QRegularExpressionMatch match = version.match(name);
    if (match.hasMatch()) {
        static const QRegularExpression separator(QStringLiteral("[._]"));
        for (const QString& part : match.captured().split(separator))
            numbers << part.toInt();
    }
    return numbers;
}

// Before in the choice: the higher version, then, for a deterministic pick, the name first in order.
bool preferred(const QString& a, const QString& b)
{
    const QList<int> va = versionInName(a), vb = versionInName(b);
    if (va != vb)
        return std::lexicographical_compare(vb.begin(), vb.end(), va.begin(), va.end());
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

QString keywordText(DatabaseKeyword keyword)
{
    switch (keyword) {
    case DatabaseKeyword::Server:
        return QStringLiteral("Server=");
    case DatabaseKeyword::Dbq:
        return QStringLiteral("DBQ=");
    case DatabaseKeyword::ServerAndDbq:
        break;
    }
    return QStringLiteral("Server= and DBQ=");
}

} // namespace

DatabaseKeyword KeywordOfDriver(const QString& driverName)
{
    if (isMicrosoftDriver(driverName))
        return DatabaseKeyword::Server;
    return isOracleDriver(driverName) ? DatabaseKeyword::Dbq : DatabaseKeyword::ServerAndDbq;
}

std::optional<OdbcDriver> ChooseOdbcDriver(const QStringList& installed, const QString& requested)
{
    if (!requested.isEmpty())
        return OdbcDriver{requested, KeywordOfDriver(requested)};
    if (std::any_of(installed.begin(), installed.end(), isMicrosoftDriver))
        return OdbcDriver{kMicrosoftDriverName, DatabaseKeyword::Server};
    QStringList oracle;
    std::copy_if(installed.begin(), installed.end(), std::back_inserter(oracle), isOracleDriver);
    if (oracle.isEmpty())
        return std::nullopt;
    return OdbcDriver{*std::min_element(oracle.begin(), oracle.end(), preferred), DatabaseKeyword::Dbq};
}

QStringList InstalledOdbcDrivers()
{
    QStringList drivers;
    try {
        const detail::Handle environment = detail::OdbcEnvironment();
        SQLUSMALLINT direction = SQL_FETCH_FIRST;
        for (;;) {
            SQLWCHAR name[1024];
            SQLSMALLINT nameLength = 0, attributesLength = 0;
            const SQLRETURN rc = SQLDriversW(environment.get(), direction, name, SQLSMALLINT(std::size(name)),
                                             &nameLength, nullptr, 0, &attributesLength);
            if (!detail::Succeeded(rc))
                break;
            drivers << detail::FromWide(name, std::min<qsizetype>(nameLength, qsizetype(std::size(name)) - 1));
            direction = SQL_FETCH_NEXT;
        }
    } catch (const DatabaseError&) {
        // No driver manager to ask: no driver is known.
    }
    return drivers;
}

QStringList DescribeOdbcDrivers(const QStringList& installed, const QString& requested)
{
    const std::optional<OdbcDriver> chosen = ChooseOdbcDriver(installed, requested);
    auto usedNote = [&]() -> QString { return QStringLiteral("  (used: the SID goes in ") + keywordText(chosen->keyword) + QLatin1Char(')'); };
    QStringList lines;
    bool shown = false;
    for (const QString& name : installed) {
        const bool used = chosen && name.compare(chosen->name, Qt::CaseInsensitive) == 0 && !shown;
        lines << (used ? QStringLiteral("* ") : QStringLiteral("  ")) + name + (used ? usedNote() : QString());
        shown = shown || used;
    }
    if (chosen && !shown)
        lines << QStringLiteral("* ") + chosen->name + usedNote() + QStringLiteral(", but no driver of that name is installed");
    if (!chosen)
        lines << QStringLiteral("No ODBC driver for Oracle is installed: install Oracle Instant Client's ODBC package and "
                                "run its odbc_update_ini.sh (odbc_install.exe on Windows), or name a driver with "
                                "--odbc-driver.");
    return lines;
}

QString DriverRoute::connectionString(const ConnectionProfile& profile) const
{
    if (const std::optional<OdbcDriver> driver = ChooseOdbcDriver(requested_.isEmpty() ? InstalledOdbcDrivers() : QStringList(), requested_))
        return ConnectionStringFor(profile, *driver);
    return BuildConnectionString(profile);
}

} // namespace oracle
