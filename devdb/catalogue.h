#pragma once
// Our own tables in a SID file. dd_users: accounts. dd_meta: the catalogue generation (bumped by
// every DDL, so connections know when their cached table definitions are stale) and the
// database's identity. dd_tables / dd_columns: Oracle tables per owner, names kept exactly.
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
void setPassword(SqliteDb& db, const std::string& user, const std::string& password);
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
