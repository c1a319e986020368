#include "store.h"

#include "sqlparse.h"
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

namespace catalogue {

namespace {
// True when sql compiles against the file as it is (a cheap way to ask for a table or column).
bool compiles(SqliteDb& db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v2(db.handle(), sql, -1, &st, nullptr);
    sqlite3_finalize(st);
    return rc == SQLITE_OK;
}

template <typename Work>
void inWriteTransaction(SqliteDb& db, Work&& work)
{
    db.exec("BEGIN IMMEDIATE");
    try {
        work();
        db.exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}
} // namespace

void ensureSchema(SqliteDb& db, const std::string& name)
{
    db.exec("PRAGMA journal_mode=WAL");
    db.exec("BEGIN IMMEDIATE");
    try {
        db.exec("CREATE TABLE IF NOT EXISTS dd_meta(gen INTEGER NOT NULL, db_name TEXT, cdb_name TEXT);");
        if (compiles(db, "SELECT db_name FROM dd_meta"))
            db.prepare("INSERT INTO dd_meta(gen, db_name) SELECT 0, ? WHERE NOT EXISTS (SELECT 1 FROM dd_meta)")
                .bind(1, name)
                .step();
        db.exec("CREATE TABLE IF NOT EXISTS dd_users(name TEXT PRIMARY KEY, password TEXT NOT NULL);"
                "CREATE TABLE IF NOT EXISTS dd_tables(id INTEGER PRIMARY KEY AUTOINCREMENT, owner TEXT NOT NULL,"
                " name TEXT NOT NULL, pk_name TEXT, UNIQUE(owner, name));"
                "CREATE TABLE IF NOT EXISTS dd_columns(table_id INTEGER NOT NULL, pos INTEGER NOT NULL,"
                " name TEXT NOT NULL, type TEXT NOT NULL, not_null INTEGER NOT NULL, pk_pos INTEGER,"
                " PRIMARY KEY(table_id, pos));");
        db.exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void upgrade(SqliteDb& db, const std::string& name)
{
    if (compiles(db, "SELECT db_name, cdb_name FROM dd_meta") || !compiles(db, "SELECT gen FROM dd_meta")) return;
    // A file from before databases knew their own name: it is the SID it was made under.
    inWriteTransaction(db, [&] {
        if (compiles(db, "SELECT db_name FROM dd_meta")) return; // another connection was first
        db.exec("ALTER TABLE dd_meta ADD COLUMN db_name TEXT; ALTER TABLE dd_meta ADD COLUMN cdb_name TEXT");
        db.prepare("UPDATE dd_meta SET db_name = ?").bind(1, name).step();
    });
}

DatabaseIdentity identity(SqliteDb& db)
{
    SqliteStmt st = db.prepare("SELECT db_name, cdb_name FROM dd_meta");
    DatabaseIdentity id;
    if (st.step()) {
        id.name = st.text(0);
        id.container = st.text(1);
    }
    return id;
}

void setContainer(SqliteDb& db, const std::string& container)
{
    db.prepare("UPDATE dd_meta SET cdb_name = ?").bind(1, container).step();
}

void setPassword(SqliteDb& db, const std::string& user, const std::string& password)
{
    db.prepare("INSERT INTO dd_users(name, password) VALUES(?, ?) ON CONFLICT(name) DO UPDATE SET password = excluded.password")
        .bind(1, user).bind(2, password).step();
}

bool checkLogin(SqliteDb& db, const std::string& user, const std::string& password)
{
    SqliteStmt st;
    try {
        st = db.prepare("SELECT password FROM dd_users WHERE name = ?");
    } catch (const DbError&) {
        // Not one of our files: treat as an unknown service name.
        throwOra(12154, "TNS:could not resolve the connect identifier specified");
    }
    st.bind(1, user);
    return st.step() && st.text(0) == password;
}

int64_t generation(SqliteDb& db)
{
    SqliteStmt st = db.prepare("SELECT gen FROM dd_meta");
    return st.step() ? st.integer(0) : 0;
}

std::vector<TableInfo> load(SqliteDb& db)
{
    std::vector<TableInfo> tables;
    std::map<int64_t, size_t> byId;
    SqliteStmt t = db.prepare("SELECT id, owner, name, pk_name FROM dd_tables ORDER BY id");
    while (t.step()) {
        TableInfo info;
        info.id = t.integer(0);
        info.owner = t.text(1);
        info.name = t.text(2);
        info.primaryKeyName = t.text(3);
        byId[info.id] = tables.size();
        tables.push_back(std::move(info));
    }
    SqliteStmt c = db.prepare("SELECT table_id, name, type, not_null, pk_pos FROM dd_columns ORDER BY table_id, pos");
    std::map<int64_t, std::map<int64_t, int>> keys;
    while (c.step()) {
        auto it = byId.find(c.integer(0));
        if (it == byId.end()) continue;
        TableInfo& info = tables[it->second];
        ColumnInfo col;
        col.name = c.text(1);
        col.type = parseTypeDeclaration(c.text(2));
        col.notNull = c.integer(3) != 0;
        if (sqlite3_column_type(c.get(), 4) != SQLITE_NULL) keys[info.id][c.integer(4)] = int(info.columns.size());
        info.columns.push_back(std::move(col));
    }
    for (auto& [id, order] : keys)
        for (auto& [pos, index] : order) tables[byId[id]].primaryKey.push_back(index);
    return tables;
}

namespace {
// Runs `work` in one write transaction that also bumps the catalogue generation.
template <typename Work>
void changeCatalogue(SqliteDb& db, Work&& work)
{
    db.exec("BEGIN IMMEDIATE");
    try {
        work();
        db.exec("UPDATE dd_meta SET gen = gen + 1");
        db.exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

[[noreturn]] void nameTaken() { throwOra(955, "name is already used by an existing object"); }
} // namespace

void createTable(SqliteDb& db, TableInfo& table)
{
    changeCatalogue(db, [&] {
        SqliteStmt ins = db.prepare("INSERT INTO dd_tables(owner, name, pk_name) VALUES(?, ?, ?)");
        ins.bind(1, table.owner).bind(2, table.name).bind(3, table.primaryKeyName);
        try {
            ins.step();
        } catch (const DbError& e) {
            if (e.native == 1) nameTaken();
            throw;
        }
        table.id = sqlite3_last_insert_rowid(db.handle());
        if (table.primaryKeyName.empty()) table.primaryKeyName = "SYS_C" + std::to_string(1000000 + table.id).substr(1);
        db.prepare("UPDATE dd_tables SET pk_name = ? WHERE id = ?").bind(1, table.primaryKeyName).bind(2, table.id).step();

        SqliteStmt col = db.prepare("INSERT INTO dd_columns(table_id, pos, name, type, not_null, pk_pos) VALUES(?,?,?,?,?,?)");
        // Columns carry no declared type, so SQLite stores exactly the text or bytes we bind.
        std::string ddl = "CREATE TABLE " + table.internalName() + "(";
        for (size_t i = 0; i < table.columns.size(); ++i) {
            const ColumnInfo& c = table.columns[i];
            col.reset();
            col.bind(1, table.id).bind(2, int64_t(i + 1)).bind(3, c.name).bind(4, declaration(c.type));
            col.bind(5, int64_t(c.notNull ? 1 : 0));
            auto key = std::find(table.primaryKey.begin(), table.primaryKey.end(), int(i));
            if (key != table.primaryKey.end()) col.bind(6, int64_t(key - table.primaryKey.begin()));
            col.step();
            ddl += (i ? ", " : "") + TableInfo::internalColumn(i);
        }
        if (!table.primaryKey.empty()) {
            ddl += ", PRIMARY KEY(";
            for (size_t k = 0; k < table.primaryKey.size(); ++k)
                ddl += (k ? ", " : "") + TableInfo::internalColumn(size_t(table.primaryKey[k]));
            ddl += ")";
        }
        db.exec(ddl + ")");
    });
}

void dropTable(SqliteDb& db, const TableInfo& table)
{
    changeCatalogue(db, [&] {
        db.prepare("DELETE FROM dd_columns WHERE table_id = ?").bind(1, table.id).step();
        db.prepare("DELETE FROM dd_tables WHERE id = ?").bind(1, table.id).step();
        db.exec("DROP TABLE IF EXISTS " + table.internalName());
    });
}

void renameTable(SqliteDb& db, const TableInfo& table, const std::string& newName)
{
    changeCatalogue(db, [&] {
        try {
            db.prepare("UPDATE dd_tables SET name = ? WHERE id = ?").bind(1, newName).bind(2, table.id).step();
        } catch (const DbError& e) {
            if (e.native == 1) nameTaken();
            throw;
        }
    });
}

} // namespace catalogue

} // namespace devdb
