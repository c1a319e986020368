#pragma once
// Administration of a devdb data folder: registering the driver for ODBCSYSINI, accounts per
// SID, and fault rules. Every function throws std::runtime_error with a readable message.
#include <string>

namespace devdb {

// Creates DIR if needed and writes DIR/odbcinst.ini registering the driver library as
// "Microsoft ODBC for Oracle", with DataDir=DIR so the driver finds the SID files.
// Existing SID databases in DIR are kept.
void initDataDir(const std::string& dir, const std::string& driverLibraryPath);

// Creates the SID database if new and the account (user names fold to upper case; passwords are
// case-sensitive). Re-adding a user sets the password.
void addUser(const std::string& dir, const std::string& sid, const std::string& user, const std::string& password);

// Appends a rule "COUNT|PATTERN|SQLSTATE|MESSAGE" (validated) read by connections opened later.
void addFault(const std::string& dir, const std::string& rule);
void clearFaults(const std::string& dir);

} // namespace devdb
