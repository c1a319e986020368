#pragma once
// Our own tables in a SID file. dd_users: accounts, with each user's id and creation time. dd_meta:
// the catalogue generation (bumped by every DDL, so connections know when their cached table
// definitions are stale), the database's identity (name, container, id, unique name) and whether
// it takes extended strings. dd_tables / dd_columns: Oracle tables per owner, names kept exactly.
// dd_rows: the rows of every Oracle table, each an encoded blob (rowcodec.h) under the rowids
// id << 32 | n, so a table's rows are one rowid range in insertion order; the column pk holds a
// row's primary key entry, unique through a partial index. The schema is the same whatever the
// number of Oracle tables, so opening a file costs the same at 10 tables as at 50,000.
#include "identity.h"
#include "store.h"

#include <memory>
#include <optional>

namespace devdb::catalogue {

// Makes our tables in a file that has none yet; `name` is the database's own name.
void ensureSchema(SqliteDb& db, const std::string& name);
// Brings a file made by an earlier devdb up to date (a no-op for current files): it learns its
// own name, and tables kept as SQLite tables of their own move into dd_rows.
void upgrade(SqliteDb& db, const std::string& name);

DatabaseIdentity identity(SqliteDb& db);
void setContainer(SqliteDb& db, const std::string& container); // empty: not a pluggable database
void setDatabaseId(SqliteDb& db, const std::string& databaseId);
void setUniqueName(SqliteDb& db, const std::string& uniqueName); // empty: the database's own name
// MAX_STRING_SIZE=EXTENDED: VARCHAR2 and RAW up to 32767 bytes, NVARCHAR2 up to 16383 characters.
bool extendedStrings(SqliteDb& db);
void setExtendedStrings(SqliteDb& db);

// A new user gets the next user id and its creation time; an existing one only a new password.
void setPassword(SqliteDb& db, const std::string& user, const std::string& password);
// What USER_USERS tells of a user; empty when there is no such user.
struct UserFacts {
    int64_t userId = 0;
    std::string created; // stored DATE form, "YYYY-MM-DD HH:MM:SS"
};
std::optional<UserFacts> userFacts(SqliteDb& db, const std::string& user);
// False when there is no such user.
bool setUserCreated(SqliteDb& db, const std::string& user, const std::string& created);
// true when the user exists and the password matches exactly.
bool checkLogin(SqliteDb& db, const std::string& user, const std::string& password);

// One table by owner and exact name; nullptr when there is none.
std::shared_ptr<const TableInfo> findTable(SqliteDb& db, const std::string& owner, const std::string& name);
// Tables in creation order, of one owner and/or of one name when given; columns when asked.
std::vector<TableInfo> listTables(SqliteDb& db, const std::optional<std::string>& owner,
                                  const std::optional<std::string>& name, bool withColumns);

// Catalogue changes; each runs in one transaction and bumps the generation. Throw DbError.
void createTable(SqliteDb& db, TableInfo& table);
void dropTable(SqliteDb& db, const TableInfo& table);
void renameTable(SqliteDb& db, const TableInfo& table, const std::string& newName);

// The rowids of a table's rows.
inline int64_t firstRowid(int64_t tableId) { return tableId << 32; }
inline int64_t lastRowid(int64_t tableId) { return (tableId << 32) | 0xFFFFFFFFLL; }

} // namespace devdb::catalogue
