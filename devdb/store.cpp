#include "store.h"

#include "catalogue.h"
#include "util.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

namespace devdb {

namespace {
int numberCollation(void*, int la, const void* a, int lb, const void* b)
{
    return compareNumbers(std::string_view(static_cast<const char*>(a), size_t(la)),
                          std::string_view(static_cast<const char*>(b), size_t(lb)));
}
} // namespace

void throwSqlite(sqlite3* db, int rc)
{
    const int primary = rc & 0xFF;
    const std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    switch (primary) {
    case SQLITE_BUSY: case SQLITE_LOCKED:
        throwOra(54, "resource busy and acquire with NOWAIT specified or timeout expired");
    case SQLITE_CONSTRAINT: throwOra(1, "unique constraint violated");
    case SQLITE_FULL: throwOra(1653, "unable to extend table");
    case SQLITE_NOMEM: throwOra(4030, "out of process memory");
    case SQLITE_TOOBIG: throwOra(1704, "string literal too long");
    default: break;
    }
    if (msg.rfind("no such table", 0) == 0) throwOra(942, "table or view does not exist");
    throwOra(600, "internal error code, arguments: [sqlite], [" + msg + "]");
}

std::unique_ptr<SqliteDb> SqliteDb::open(const std::string& path, bool create)
{
    sqlite3* raw = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    std::unique_ptr<SqliteDb> db(new SqliteDb(raw));
    if (rc != SQLITE_OK) {
        if (!create) throwOra(12154, "TNS:could not resolve the connect identifier specified");
        throw DbError("HY000", 0, "cannot create database file " + path + ": " + sqlite3_errstr(rc));
    }
    sqlite3_busy_timeout(raw, 10000);
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_create_collation(raw, "devdb_number", SQLITE_UTF8, nullptr, numberCollation);
    // Test data is disposable: skip fsync so bulk inserts are fast.
    db->exec("PRAGMA synchronous=OFF");
    // The file's base name is the SID it was created under: the database's own name.
    const std::string name = std::filesystem::path(path).stem().string();
    if (create) catalogue::ensureSchema(*db, name);
    catalogue::upgrade(*db, name);
    return db;
}

SqliteDb::~SqliteDb() { sqlite3_close_v2(db_); }

void SqliteDb::exec(const std::string& sql)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) throwSqlite(db_, rc);
}

SqliteStmt SqliteDb::prepare(const std::string& sql)
{
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v3(db_, sql.c_str(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &st, nullptr);
    if (rc != SQLITE_OK) throwSqlite(db_, rc);
    return SqliteStmt(db_, st);
}

SqliteStmt& SqliteStmt::operator=(SqliteStmt&& o) noexcept
{
    if (this != &o) {
        sqlite3_finalize(st_);
        db_ = o.db_;
        st_ = o.st_;
        o.st_ = nullptr;
    }
    return *this;
}

SqliteStmt& SqliteStmt::bind(int i, const std::string& text)
{
    sqlite3_bind_text64(st_, i, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return *this;
}

SqliteStmt& SqliteStmt::bind(int i, int64_t v)
{
    sqlite3_bind_int64(st_, i, v);
    return *this;
}

SqliteStmt& SqliteStmt::bindValue(int i, const Value& v, bool binary)
{
    if (v.null) sqlite3_bind_null(st_, i);
    else if (binary) sqlite3_bind_blob64(st_, i, v.data.data(), v.data.size(), SQLITE_TRANSIENT);
    else bind(i, v.data);
    return *this;
}

bool SqliteStmt::step()
{
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(st_);
    throwSqlite(db_, rc);
}

void SqliteStmt::reset()
{
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

std::string SqliteStmt::text(int col) const
{
    const auto* p = static_cast<const char*>(sqlite3_column_blob(st_, col));
    const int n = sqlite3_column_bytes(st_, col);
    return p ? std::string(p, size_t(n)) : std::string();
}

Value SqliteStmt::value(int col) const
{
    if (sqlite3_column_type(st_, col) == SQLITE_NULL) return Value{};
    return Value::of(text(col));
}

int TableInfo::columnIndex(const std::string& column) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == column) return int(i);
    return -1;
}


} // namespace devdb
