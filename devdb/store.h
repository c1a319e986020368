#pragma once
// One SQLite file per SID, and what we know of an Oracle table. The catalogue and the rows are
// kept in a fixed set of SQLite tables (catalogue.h), because SQLite itself ignores identifier
// case and parses every schema object whenever a connection opens the file.
#include "types.h"

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace devdb {

class SqliteStmt;

class SqliteDb {
public:
    // Opens a SID file; `create` makes it (and the catalogue) when missing. Throws DbError.
    static std::unique_ptr<SqliteDb> open(const std::string& path, bool create);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    sqlite3* handle() const { return db_; }
    void exec(const std::string& sql); // throws DbError (ORA-00600 with the SQLite text)
    SqliteStmt prepare(const std::string& sql);

private:
    explicit SqliteDb(sqlite3* db) : db_(db) {}
    sqlite3* db_;
};

class SqliteStmt {
public:
    SqliteStmt() = default;
    SqliteStmt(sqlite3* db, sqlite3_stmt* st) : db_(db), st_(st) {}
    SqliteStmt(SqliteStmt&& o) noexcept : db_(o.db_), st_(o.st_) { o.st_ = nullptr; }
    SqliteStmt& operator=(SqliteStmt&& o) noexcept;
    ~SqliteStmt() { sqlite3_finalize(st_); }

    sqlite3_stmt* get() const { return st_; }
    explicit operator bool() const { return st_ != nullptr; }
    SqliteStmt& bind(int i, const std::string& text);
    SqliteStmt& bind(int i, int64_t v);
    SqliteStmt& bindValue(int i, const Value& v, bool binary);
    bool step();  // true on a row, false when done; throws DbError mapped from SQLite
    void reset();
    std::string text(int col) const;
    int64_t integer(int col) const { return sqlite3_column_int64(st_, col); }
    Value value(int col) const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
};

// Maps a SQLite failure to an Oracle-style error; never passes SQLite's text on alone.
[[noreturn]] void throwSqlite(sqlite3* db, int rc);

struct ColumnInfo {
    std::string name;
    ColumnType type;
    bool notNull = false;
    bool invisible = false;
};

struct TableInfo {
    int64_t id = 0;
    std::string owner;
    std::string name;
    std::vector<ColumnInfo> columns;
    std::vector<int> primaryKey; // column indexes
    std::string primaryKeyName;

    int columnIndex(const std::string& column) const;
};


} // namespace devdb
