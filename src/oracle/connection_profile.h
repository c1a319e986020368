#pragma once

// A side's login as typed, and how it reaches a database: the connection string in a driver's
// keywords, and whether it connects.

#include <QString>
#include <cstddef>
#include <optional>

namespace oracle {

enum class DatabaseSide { One = 1, Two = 2 };

inline DatabaseSide OtherSide(DatabaseSide side) { return side == DatabaseSide::One ? DatabaseSide::Two : DatabaseSide::One; }

// "Oracle #1" or "Oracle #2", as the pages name the sides.
inline QString SideName(DatabaseSide side) { return side == DatabaseSide::One ? QStringLiteral("Oracle #1") : QStringLiteral("Oracle #2"); }

// A side's place among things that come one a side, side 1's first: 0 or 1.
inline std::size_t SideIndex(DatabaseSide side) { return side == DatabaseSide::One ? 0 : 1; }

// SID, user name and password of one side, exactly as typed.
struct ConnectionProfile {
    QString sid;
    QString user;
    QString password;
};

// Reads a side's profile from wherever the login fields are, at the moment of use.
class ProfileSource {
public:
    virtual ~ProfileSource() = default;
    virtual ConnectionProfile CurrentProfile(DatabaseSide side) const = 0;
};

// A side's login as the journal names it, never with its password: Oracle #1 (SID "KVMD", user "scott").
QString LoginText(DatabaseSide side, const ConnectionProfile& profile);

// "Driver={Microsoft ODBC for Oracle};Server=...;Uid=...;Pwd=...;" with the values verbatim,
// except that a value holding ";", "{" or "}" is braced by the ODBC rule so it cannot end its
// field or add another key.
QString BuildConnectionString(const ConnectionProfile& profile);

// True when a connection opens. Never raises, never shows anything.
bool TestConnection(const QString& connectionString);
// Why a connection does not open, in the driver's own words; empty when it opens. Never raises.
QString ConnectionFailure(const QString& connectionString);

inline const QString kMicrosoftDriverName = QStringLiteral("Microsoft ODBC for Oracle");

// The keyword a driver reads the database's name from: Microsoft's driver takes the SID as
// Server=, Oracle's own as DBQ= (a TNS alias or an Easy Connect text); a driver of any other name
// is given both, since drivers pass over keywords they do not know.
enum class DatabaseKeyword { Server, Dbq, ServerAndDbq };

struct OdbcDriver {
    QString name;
    DatabaseKeyword keyword = DatabaseKeyword::Server;

    friend bool operator==(const OdbcDriver&, const OdbcDriver&) = default;
};

// The profile in the driver's keywords: "Driver={name};Server=...;Uid=...;Pwd=...;" for Microsoft's
// driver (the same text as BuildConnectionString), DBQ= in place of Server= for Oracle's, both for
// others. Values are braced by the same rule.
QString ConnectionStringFor(const ConnectionProfile& profile, const OdbcDriver& driver);

} // namespace oracle
