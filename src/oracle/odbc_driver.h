#pragma once

// The ODBC driver a connection goes through: the ones installed, the one chosen (named on the
// command line, else found among them) with the keyword it reads the database from, and the list
// --odbc-drivers prints.

#include "oracle/connection_profile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace oracle {

// An ODBC driver as the driver manager lists it: the name it is registered under and its
// library's file (its Driver= attribute; empty when the manager does not say).
struct InstalledDriver {
    QString name;
    QString library;
};

// The keyword a driver reads the database from, told by its library whatever name it is registered
// under: Oracle's (libsqora..., sqora32.dll) reads DBQ=, Microsoft's (msorcl32.dll) Server=. With
// no library, or another one, by its name: Microsoft's name Server=, a name starting with "Oracle"
// (Oracle's installers' "Oracle 21 ODBC driver" and "Oracle in <home>", or plain "Oracle") DBQ=,
// any other both.
DatabaseKeyword KeywordOfDriver(const QString& name, const QString& library = QString());

// The driver a connection goes through: the one asked for by name (the keyword told by its library
// when it is installed, else by its name), else the best installed one whose keyword is known:
// first Microsoft's driver (Server=), then Oracle's under whatever name, the highest version its
// name shows (or, when its name shows none, its library's file name: libsqora.so.21.1 is 21), the
// same version an entry of Oracle's own name first, then the name first in order. Empty when none is
// installed.
std::optional<OdbcDriver> ChooseOdbcDriver(const QList<InstalledDriver>& installed, const QString& requested);

// The ODBC drivers the driver manager knows (odbcinst.ini, or the registry on Windows), in its
// order. Empty when it cannot tell.
QList<InstalledDriver> InstalledOdbcDrivers();

// One line per installed driver, the one the program would use marked with the keyword it names
// the database by; a closing line when none of them would do.
QStringList DescribeOdbcDrivers(const QList<InstalledDriver>& installed, const QString& requested);

// How every operation reaches a driver with a profile: looks at the installed drivers each time a
// connection is about to open, so a driver installed meanwhile is found, and keeps the name asked
// for on the command line.
class DriverRoute {
public:
    explicit DriverRoute(QString requested = QString()) : requested_(std::move(requested)) {}
    const QString& requested() const { return requested_; }
    // Without any usable driver, the profile's own string: its open then fails as any failed open.
    QString connectionString(const ConnectionProfile& profile) const;
    // Why a login failed, as the journal tells it: the driver's own words, and that the driver named
    // on the command line is not installed, when it is not.
    QString explainFailure(const QString& failure) const;

private:
    QString requested_;
};

} // namespace oracle
