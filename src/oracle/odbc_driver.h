#pragma once

// The ODBC driver a connection goes through: the ones installed, the one chosen (named on the
// command line, else found among them) with the keyword it reads the database from, and the list
// --odbc-drivers prints.

#include "oracle/connection_profile.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace oracle {

DatabaseKeyword KeywordOfDriver(const QString& driverName);

// The driver a connection goes through: the one asked for by name, else Microsoft's when it is
// installed, else Oracle's own (registered as "Oracle 21 ODBC driver", "Oracle in
// instantclient_21_12", ...), the highest version its name shows. Empty when none is installed.
std::optional<OdbcDriver> ChooseOdbcDriver(const QStringList& installed, const QString& requested);

// The ODBC drivers the driver manager knows (odbcinst.ini, or the registry on Windows), in its
// order. Empty when it cannot tell.
QStringList InstalledOdbcDrivers();

// One line per installed driver, the one the program would use marked with the keyword it names
// the database by; a closing line when none of them would do.
QStringList DescribeOdbcDrivers(const QStringList& installed, const QString& requested);

// How every operation reaches a driver with a profile: looks at the installed drivers each time a
// connection is about to open, so a driver installed meanwhile is found, and keeps the name asked
// for on the command line.
class DriverRoute {
public:
    explicit DriverRoute(QString requested = QString()) : requested_(std::move(requested)) {}
    const QString& requested() const { return requested_; }
    // Without any usable driver, the profile's own string: its open then fails as any failed open.
    QString connectionString(const ConnectionProfile& profile) const;

private:
    QString requested_;
};

} // namespace oracle
