#include "oracle/odbc_driver.h"

#include "oracle/database_error.h"
#include "oracle/odbc_handle.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace oracle {

namespace {

bool isMicrosoftName(const QString& name) { return name.compare(kMicrosoftDriverName, Qt::CaseInsensitive) == 0; }

// Oracle's installers name its driver "Oracle <version> ODBC driver" (Linux) or "Oracle in <home>"
// (Windows); administrators also register it as plain "Oracle".
bool isOracleName(const QString& name)
{
    return name.startsWith(QLatin1String("Oracle "), Qt::CaseInsensitive)
        || name.compare(QLatin1String("Oracle"), Qt::CaseInsensitive) == 0;
}

// A library's file name without its folder, whichever way its slashes lean.
QString fileName(const QString& library)
{
    return library.mid(std::max(library.lastIndexOf(QLatin1Char('/')), library.lastIndexOf(QLatin1Char('\\'))) + 1);
}

// Oracle's library is libsqora.so.<version>.1 on Linux and sqora32.dll on Windows (32 even in the
// 64-bit kit); Microsoft's is msorcl32.dll.
bool isOracleLibrary(const QString& library)
{
    const QString file = fileName(library);
    return file.startsWith(QLatin1String("libsqora"), Qt::CaseInsensitive)
        || file.startsWith(QLatin1String("sqora"), Qt::CaseInsensitive);
}

bool isMicrosoftLibrary(const QString& library)
{
    return fileName(library).compare(QLatin1String("msorcl32.dll"), Qt::CaseInsensitive) == 0;
}

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

// The version of Oracle's library on Linux: libsqora.so.21.1 is 21. Empty for sqora32.dll.
QList<int> versionInLibrary(const QString& library)
{
    static const QRegularExpression version(QStringLiteral("^libsqora\\.so\\.(\\d+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = version.match(fileName(library));
    return match.hasMatch() ? QList<int>{match.captured(1).toInt()} : QList<int>();
}

// An installed driver the program knows how to reach a database through.
struct Candidate {
    InstalledDriver driver;
    DatabaseKeyword keyword;

    QList<int> version() const
    {
        const QList<int> shown = versionInName(driver.name);
        return shown.isEmpty() ? versionInLibrary(driver.library) : shown;
    }
    // Registered under its own maker's name, not as another's.
    bool ownName() const
    {
        return keyword == DatabaseKeyword::Server ? isMicrosoftName(driver.name) : isOracleName(driver.name);
    }
};

// Before in the choice: Microsoft's driver, which the program has always taken when it is there;
// then the higher version; then the entry under its maker's own name (Oracle's library as "Oracle
// 21 ODBC driver" rather than under Microsoft's name); then, for a deterministic pick, the name
// first in order.
bool preferred(const Candidate& a, const Candidate& b)
{
    if (a.keyword != b.keyword)
        return a.keyword == DatabaseKeyword::Server;
    const QList<int> va = a.version(), vb = b.version();
    if (va != vb)
        return std::lexicographical_compare(vb.begin(), vb.end(), va.begin(), va.end());
    if (a.ownName() != b.ownName())
        return a.ownName();
    const int folded = a.driver.name.compare(b.driver.name, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a.driver.name < b.driver.name;
}

// The installed driver of that name; the driver manager finds names whatever their letter case.
std::optional<InstalledDriver> installedNamed(const QList<InstalledDriver>& installed, const QString& name)
{
    for (const InstalledDriver& driver : installed)
        if (driver.name.compare(name, Qt::CaseInsensitive) == 0)
            return driver;
    return std::nullopt;
}

// The library among a driver's attributes, "key=value" pairs each ended by a NUL:
// "Description=...", "Driver=/opt/oracle/instantclient_21_12/libsqora.so.21.1", "Setup=...".
QString libraryIn(const QStringList& attributes)
{
    static const QLatin1String key("Driver=");
    for (const QString& pair : attributes)
        if (pair.startsWith(key, Qt::CaseInsensitive))
            return pair.mid(key.size()).trimmed();
    return QString();
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

DatabaseKeyword KeywordOfDriver(const QString& name, const QString& library)
{
    if (isOracleLibrary(library))
        return DatabaseKeyword::Dbq;
    if (isMicrosoftLibrary(library) || isMicrosoftName(name))
        return DatabaseKeyword::Server;
    return isOracleName(name) ? DatabaseKeyword::Dbq : DatabaseKeyword::ServerAndDbq;
}

std::optional<OdbcDriver> ChooseOdbcDriver(const QList<InstalledDriver>& installed, const QString& requested)
{
    if (!requested.isEmpty()) {
        const std::optional<InstalledDriver> named = installedNamed(installed, requested);
        return OdbcDriver{requested, KeywordOfDriver(requested, named ? named->library : QString())};
    }
    std::optional<Candidate> best;
    for (const InstalledDriver& driver : installed) {
        const Candidate candidate{driver, KeywordOfDriver(driver.name, driver.library)};
        // Another maker's driver is used only when named: which keyword it reads is not known.
        if (candidate.keyword != DatabaseKeyword::ServerAndDbq && (!best || preferred(candidate, *best)))
            best = candidate;
    }
    if (!best)
        return std::nullopt;
    // Microsoft's name as the classic connection string spells it.
    return OdbcDriver{isMicrosoftName(best->driver.name) ? kMicrosoftDriverName : best->driver.name, best->keyword};
}

QList<InstalledDriver> InstalledOdbcDrivers()
{
    QList<InstalledDriver> drivers;
    try {
        const detail::Handle environment = detail::OdbcEnvironment();
        SQLUSMALLINT direction = SQL_FETCH_FIRST;
        for (;;) {
            SQLWCHAR name[1024];
            std::vector<SQLWCHAR> attributes(4096);
            SQLSMALLINT nameLength = 0, attributesLength = 0;
            const SQLRETURN rc = SQLDriversW(environment.get(), direction, name, SQLSMALLINT(std::size(name)), &nameLength,
                                             attributes.data(), SQLSMALLINT(attributes.size()), &attributesLength);
            if (!detail::Succeeded(rc))
                break;
            const qsizetype kept = std::min<qsizetype>(attributesLength, qsizetype(attributes.size()) - 1);
            QStringList pairs = detail::FromWide(attributes.data(), kept).split(QChar(0), Qt::SkipEmptyParts);
            // A cut list ends in a cut pair.
            if (attributesLength > kept && !pairs.isEmpty())
                pairs.removeLast();
            drivers << InstalledDriver{detail::FromWide(name, std::min<qsizetype>(nameLength, qsizetype(std::size(name)) - 1)),
                                       libraryIn(pairs)};
            direction = SQL_FETCH_NEXT;
        }
    } catch (const DatabaseError&) {
        // No driver manager to ask: no driver is known.
    }
    return drivers;
}

QStringList DescribeOdbcDrivers(const QList<InstalledDriver>& installed, const QString& requested)
{
    const std::optional<OdbcDriver> chosen = ChooseOdbcDriver(installed, requested);
    auto usedNote = [&]() -> QString { return QStringLiteral("  (used: the SID goes in ") + keywordText(chosen->keyword) + QLatin1Char(')'); };
    QStringList lines;
    bool shown = false;
    for (const InstalledDriver& driver : installed) {
        const bool used = chosen && driver.name.compare(chosen->name, Qt::CaseInsensitive) == 0 && !shown;
        lines << (used ? QStringLiteral("* ") : QStringLiteral("  ")) + driver.name + (used ? usedNote() : QString());
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
    if (const std::optional<OdbcDriver> driver = ChooseOdbcDriver(InstalledOdbcDrivers(), requested_))
        return ConnectionStringFor(profile, *driver);
    return BuildConnectionString(profile);
}

QString DriverRoute::explainFailure(const QString& failure) const
{
    if (requested_.isEmpty() || installedNamed(InstalledOdbcDrivers(), requested_))
        return failure;
    return failure + QStringLiteral(" (the ODBC driver \"") + requested_
        + QStringLiteral("\" named with --odbc-driver is not installed)");
}

} // namespace oracle
