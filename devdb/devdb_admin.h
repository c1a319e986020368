#pragma once
// Administration of a devdb data folder: registering the driver for ODBCSYSINI, accounts per
// SID, second names and identities of databases, fault rules and behaviour markers. Every
// function throws std::runtime_error with a readable message.
#include <string>
#include <vector>

namespace devdb {

inline constexpr const char* kMicrosoftDriverName = "Microsoft ODBC for Oracle";

// Creates DIR if needed and registers the driver library in DIR/odbcinst.ini (registerDriver),
// as "Microsoft ODBC for Oracle" unless other names are given. Existing SID databases in DIR are
// kept.
void initDataDir(const std::string& dir, const std::string& driverLibraryPath,
                 const std::vector<std::string>& driverNames = {kMicrosoftDriverName});

// Rewrites DIR/odbcinst.ini so the driver library answers to each of the names, with DataDir=DIR
// so it finds the SID files. Under "Microsoft ODBC for Oracle" it reads the database from Server=
// (or DBQ=); under any other name it poses as Oracle's own driver: DBQ= alone, a TNS alias or an
// Easy Connect text, and no DBQ= fails with ORA-12162. No names: no driver at all.
void registerDriver(const std::string& dir, const std::string& driverLibraryPath,
                    const std::vector<std::string>& driverNames);

// A connection string for the first driver DIR registers, in that driver's keywords.
std::string connectionStringFor(const std::string& dir, const std::string& sid, const std::string& user,
                                const std::string& password);

// Creates the SID database if new and the account (user names fold to upper case; passwords are
// case-sensitive). Re-adding a user sets the password.
void addUser(const std::string& dir, const std::string& sid, const std::string& user, const std::string& password);

// Appends a rule "COUNT|PATTERN|SQLSTATE|MESSAGE" (validated) read by connections opened later.
void addFault(const std::string& dir, const std::string& rule);
void clearFaults(const std::string& dir);

// Makes newSid a second name for the database of sid (same file, users and tables).
void addAlias(const std::string& dir, const std::string& newSid, const std::string& sid);

// Marks the database of sid as a pluggable database of the container cdb: DB_UNIQUE_NAME and
// DB_NAME then answer cdb, CON_NAME the database's own name. An empty cdb removes the mark.
void setContainer(const std::string& dir, const std::string& sid, const std::string& cdb);

// Behaviour markers, read by connections opened later: "unordered" scrambles the rows of
// dictionary views queried without ORDER BY; "narrow" describes every result column as one
// character wide; "no-arrays" takes one row of parameters per execute.
void setUnordered(const std::string& dir, bool on);
void setNarrow(const std::string& dir, bool on);
void setNoArrays(const std::string& dir, bool on);
// Every round trip a client/server driver would make (connecting, executing, committing, a block
// of fetched rows) then waits this many milliseconds; 0 removes the "latency" marker.
void setLatency(const std::string& dir, int milliseconds);

// Who a database is, and what it takes. A new database gets an id of its own (CON_DBID) and each
// user its creation time (USER_USERS.CREATED); a copied file keeps both, as a cloned or standby
// database does, until these change them.
// Copies the database of sid to a database file of its own under newSid: same name, id, users
// and tables.
void copyDatabase(const std::string& dir, const std::string& newSid, const std::string& sid);
// The database's id: digits only.
void setDatabaseId(const std::string& dir, const std::string& sid, const std::string& databaseId);
// What DB_UNIQUE_NAME answers, as a standby's differs from its primary's; empty: the database's
// own name again.
void setUniqueName(const std::string& dir, const std::string& sid, const std::string& uniqueName);
// A user's creation time, "YYYY-MM-DD HH:MM:SS".
void setUserCreated(const std::string& dir, const std::string& sid, const std::string& user, const std::string& created);
// MAX_STRING_SIZE=EXTENDED: VARCHAR2 and RAW up to 32767 bytes, NVARCHAR2 up to 16383 characters.
void setExtendedStrings(const std::string& dir, const std::string& sid);

} // namespace devdb
