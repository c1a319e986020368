#include "catalogue.h"

#include "rowcodec.h"
#include "sqlparse.h"
#include "util.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <map>
#include <random>

namespace devdb::catalogue {

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

// Runs `work` in one write transaction that also bumps the catalogue generation.
template <typename Work>
void changeCatalogue(SqliteDb& db, Work&& work)
{
    inWriteTransaction(db, [&] {
        work();
        db.exec("UPDATE dd_meta SET gen = gen + 1");
    });
}

[[noreturn]] void nameTaken() { throwOra(955, "name is already used by an existing object"); }

const char* const rowTables = "CREATE TABLE dd_rows(row BLOB NOT NULL, pk BLOB);"
                              "CREATE UNIQUE INDEX dd_rows_pk ON dd_rows(pk) WHERE pk IS NOT NULL;";

TableInfo tableFrom(SqliteStmt& st) // id, owner, name, pk_name
{
    TableInfo t;
    t.id = st.integer(0);
    t.owner = st.text(1);
    t.name = st.text(2);
    t.primaryKeyName = st.text(3);
    return t;
}

// Adds one dd_columns row (table_id, name, type, not_null, pk_pos in key order, invisible) to its
// table. Character lengths are capped as the database's MAX_STRING_SIZE says.
void addColumn(TableInfo& t, SqliteStmt& st, std::map<int64_t, int>& keyOrder, bool extended)
{
    ColumnInfo col;
    col.name = st.text(1);
    col.type = parseTypeDeclaration(st.text(2));
    col.type.extended = extended;
    col.notNull = st.integer(3) != 0;
    if (sqlite3_column_type(st.get(), 4) != SQLITE_NULL) keyOrder[st.integer(4)] = int(t.columns.size());
    col.invisible = st.integer(5) != 0;
    t.columns.push_back(std::move(col));
}

const char* const columnFields = "SELECT table_id, name, type, not_null, pk_pos, invisible FROM dd_columns";

void readColumns(SqliteDb& db, TableInfo& t)
{
    SqliteStmt c = db.prepare(std::string(columnFields) + " WHERE table_id = ? ORDER BY pos");
    c.bind(1, t.id);
    std::map<int64_t, int> keyOrder;
    const bool extended = extendedStrings(db);
    while (c.step()) addColumn(t, c, keyOrder, extended);
    for (auto& [pos, index] : keyOrder) t.primaryKey.push_back(index);
}

// A database id as Oracle's DBIDs look: a number of up to ten digits, different for every
// database made, so two SIDs created apart never pass for one database.
std::string newDatabaseId()
{
    std::random_device entropy;
    std::mt19937_64 generator((uint64_t(entropy()) << 32) ^ entropy()
                              ^ uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    return std::to_string(std::uniform_int_distribution<uint64_t>(1000000000, 4294967295)(generator));
}

// The local time in the stored DATE form, as a user's CREATED.
std::string nowAsDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// Moves the rows of tables kept as SQLite tables t_<id> (columns c_1, c_2, ...) into dd_rows.
void moveRowsIntoOneTable(SqliteDb& db)
{
    db.exec(rowTables);
    SqliteStmt put = db.prepare("INSERT INTO dd_rows(rowid, row, pk) VALUES(?, ?, ?)");
    for (const TableInfo& t : listTables(db, std::nullopt, std::nullopt, true)) {
        const std::string name = "t_" + std::to_string(t.id);
        std::string select = "SELECT ";
        for (size_t i = 0; i < t.columns.size(); ++i) select += (i ? ", c_" : "c_") + std::to_string(i + 1);
        SqliteStmt rows;
        try {
            rows = db.prepare(select + " FROM " + name + " ORDER BY rowid");
        } catch (const DbError&) {
            continue; // never made: nothing to move
        }
        int64_t rowid = firstRowid(t.id);
        std::vector<Value> values(t.columns.size());
        while (rows.step()) {
            for (size_t i = 0; i < values.size(); ++i) values[i] = rows.value(int(i));
            put.reset();
            put.bind(1, ++rowid).bind(2, encodeRow(values));
            if (!t.primaryKey.empty()) put.bindValue(3, Value::of(primaryKeyEntry(t.id, values, t.primaryKey)), true);
            put.step();
        }
        rows = SqliteStmt();
        db.exec("DROP TABLE " + name);
    }
}
} // namespace

void ensureSchema(SqliteDb& db, const std::string& name)
{
    db.exec("PRAGMA journal_mode=WAL");
    inWriteTransaction(db, [&] {
        if (compiles(db, "SELECT 1 FROM dd_tables")) return; // made before; upgrade() does the rest
        db.exec("CREATE TABLE dd_meta(gen INTEGER NOT NULL, db_name TEXT, cdb_name TEXT, dbid TEXT, unique_name TEXT,"
                " extended INTEGER NOT NULL DEFAULT 0);"
                "CREATE TABLE dd_users(name TEXT PRIMARY KEY, password TEXT NOT NULL, user_id INTEGER, created TEXT);"
                "CREATE TABLE dd_tables(id INTEGER PRIMARY KEY AUTOINCREMENT, owner TEXT NOT NULL,"
                " name TEXT NOT NULL, pk_name TEXT, UNIQUE(owner, name));"
                "CREATE TABLE dd_columns(table_id INTEGER NOT NULL, pos INTEGER NOT NULL,"
                " name TEXT NOT NULL, type TEXT NOT NULL, not_null INTEGER NOT NULL, pk_pos INTEGER,"
                " invisible INTEGER NOT NULL DEFAULT 0, PRIMARY KEY(table_id, pos));");
        db.exec(rowTables);
        db.prepare("INSERT INTO dd_meta(gen, db_name, dbid) VALUES(0, ?, ?)").bind(1, name).bind(2, newDatabaseId()).step();
    });
}

void upgrade(SqliteDb& db, const std::string& name)
{
    const bool identities = compiles(db, "SELECT dbid, unique_name, extended FROM dd_meta")
                            && compiles(db, "SELECT user_id, created FROM dd_users");
    if (identities && compiles(db, "SELECT db_name, cdb_name FROM dd_meta") && compiles(db, "SELECT pk FROM dd_rows")
        && compiles(db, "SELECT invisible FROM dd_columns"))
        return;
    if (!compiles(db, "SELECT gen FROM dd_meta") || !compiles(db, "SELECT id FROM dd_tables")) return; // not ours
    inWriteTransaction(db, [&] {
        // A file from before databases knew their own name: it is the SID it was made under.
        if (!compiles(db, "SELECT db_name FROM dd_meta")) {
            db.exec("ALTER TABLE dd_meta ADD COLUMN db_name TEXT; ALTER TABLE dd_meta ADD COLUMN cdb_name TEXT");
            db.prepare("UPDATE dd_meta SET db_name = ?").bind(1, name).step();
        }
        // A file from before databases had ids and users their facts gets them now.
        if (!compiles(db, "SELECT dbid FROM dd_meta")) {
            db.exec("ALTER TABLE dd_meta ADD COLUMN dbid TEXT; ALTER TABLE dd_meta ADD COLUMN unique_name TEXT;"
                    "ALTER TABLE dd_meta ADD COLUMN extended INTEGER NOT NULL DEFAULT 0");
            db.prepare("UPDATE dd_meta SET dbid = ?").bind(1, newDatabaseId()).step();
        }
        if (!compiles(db, "SELECT user_id FROM dd_users")) {
            db.exec("ALTER TABLE dd_users ADD COLUMN user_id INTEGER; ALTER TABLE dd_users ADD COLUMN created TEXT");
            db.prepare("UPDATE dd_users SET user_id = rowid + 99, created = ?").bind(1, nowAsDate()).step();
        }
        if (!compiles(db, "SELECT invisible FROM dd_columns")) {
            db.exec("ALTER TABLE dd_columns ADD COLUMN invisible INTEGER NOT NULL DEFAULT 0");
            db.exec("UPDATE dd_meta SET gen = gen + 1");
        }
        if (!compiles(db, "SELECT pk FROM dd_rows")) {
            moveRowsIntoOneTable(db);
            db.exec("UPDATE dd_meta SET gen = gen + 1");
        }
    });
}

DatabaseIdentity identity(SqliteDb& db)
{
    SqliteStmt st = db.prepare("SELECT db_name, cdb_name, dbid, unique_name FROM dd_meta");
    DatabaseIdentity id;
    if (st.step()) {
        id.name = st.text(0);
        id.container = st.text(1);
        id.databaseId = st.text(2);
        id.uniqueName = st.text(3);
    }
    return id;
}

void setContainer(SqliteDb& db, const std::string& container)
{
    db.prepare("UPDATE dd_meta SET cdb_name = ?").bind(1, container).step();
}

void setDatabaseId(SqliteDb& db, const std::string& databaseId)
{
    db.prepare("UPDATE dd_meta SET dbid = ?").bind(1, databaseId).step();
}

void setUniqueName(SqliteDb& db, const std::string& uniqueName)
{
    db.prepare("UPDATE dd_meta SET unique_name = ?").bind(1, uniqueName).step();
}

bool extendedStrings(SqliteDb& db)
{
    SqliteStmt st = db.prepare("SELECT extended FROM dd_meta");
    return st.step() && st.integer(0) != 0;
}

void setExtendedStrings(SqliteDb& db)
{
    changeCatalogue(db, [&] { db.exec("UPDATE dd_meta SET extended = 1"); });
}

void setPassword(SqliteDb& db, const std::string& user, const std::string& password)
{
    // A new user gets the next id and the time it was made; a new password changes neither.
    db.prepare("INSERT INTO dd_users(name, password, user_id, created) VALUES(?1, ?2,"
               " (SELECT coalesce(max(user_id), 99) + 1 FROM dd_users), ?3)"
               " ON CONFLICT(name) DO UPDATE SET password = excluded.password")
        .bind(1, user).bind(2, password).bind(3, nowAsDate()).step();
}

std::optional<UserFacts> userFacts(SqliteDb& db, const std::string& user)
{
    SqliteStmt st = db.prepare("SELECT user_id, created FROM dd_users WHERE name = ?");
    st.bind(1, user);
    if (!st.step()) return std::nullopt;
    return UserFacts{st.integer(0), st.text(1)};
}

bool setUserCreated(SqliteDb& db, const std::string& user, const std::string& created)
{
    db.prepare("UPDATE dd_users SET created = ? WHERE name = ?").bind(1, created).bind(2, user).step();
    return sqlite3_changes(db.handle()) > 0;
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

std::shared_ptr<const TableInfo> findTable(SqliteDb& db, const std::string& owner, const std::string& name)
{
    SqliteStmt st = db.prepare("SELECT id, owner, name, pk_name FROM dd_tables WHERE owner = ? AND name = ?");
    st.bind(1, owner).bind(2, name);
    if (!st.step()) return nullptr;
    auto t = std::make_shared<TableInfo>(tableFrom(st));
    readColumns(db, *t);
    return t;
}

std::vector<TableInfo> listTables(SqliteDb& db, const std::optional<std::string>& owner,
                                  const std::optional<std::string>& name, bool withColumns)
{
    std::string sql = "SELECT id, owner, name, pk_name FROM dd_tables";
    if (owner && name) sql += " WHERE owner = ?1 AND name = ?2";
    else if (owner) sql += " WHERE owner = ?1";
    else if (name) sql += " WHERE name = ?2";
    SqliteStmt st = db.prepare(sql + " ORDER BY id");
    if (owner) st.bind(1, *owner);
    if (name) st.bind(2, *name);
    std::vector<TableInfo> tables;
    while (st.step()) tables.push_back(tableFrom(st));
    if (!withColumns || tables.empty()) return tables;
    if (tables.size() <= 8) {
        for (TableInfo& t : tables) readColumns(db, t);
        return tables;
    }
    // Many tables: one pass over every column beats a lookup per table.
    std::map<int64_t, size_t> byId;
    for (size_t i = 0; i < tables.size(); ++i) byId[tables[i].id] = i;
    std::map<int64_t, std::map<int64_t, int>> keyOrder;
    SqliteStmt c = db.prepare(std::string(columnFields) + " ORDER BY table_id, pos");
    const bool extended = extendedStrings(db);
    while (c.step()) {
        auto it = byId.find(c.integer(0));
        if (it != byId.end()) addColumn(tables[it->second], c, keyOrder[c.integer(0)], extended);
    }
    for (auto& [id, order] : keyOrder)
        for (auto& [pos, index] : order) tables[byId[id]].primaryKey.push_back(index);
    return tables;
}

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

        SqliteStmt col = db.prepare("INSERT INTO dd_columns(table_id, pos, name, type, not_null, pk_pos, invisible) VALUES(?,?,?,?,?,?,?)");
        for (size_t i = 0; i < table.columns.size(); ++i) {
            const ColumnInfo& c = table.columns[i];
            col.reset();
            col.bind(1, table.id).bind(2, int64_t(i + 1)).bind(3, c.name).bind(4, declaration(c.type));
            col.bind(5, int64_t(c.notNull ? 1 : 0));
            auto key = std::find(table.primaryKey.begin(), table.primaryKey.end(), int(i));
            if (key != table.primaryKey.end()) col.bind(6, int64_t(key - table.primaryKey.begin()));
            col.bind(7, int64_t(c.invisible ? 1 : 0));
            col.step();
        }
    });
}

void dropTable(SqliteDb& db, const TableInfo& table)
{
    changeCatalogue(db, [&] {
        db.prepare("DELETE FROM dd_rows WHERE rowid BETWEEN ? AND ?")
            .bind(1, firstRowid(table.id)).bind(2, lastRowid(table.id)).step();
        db.prepare("DELETE FROM dd_columns WHERE table_id = ?").bind(1, table.id).step();
        db.prepare("DELETE FROM dd_tables WHERE id = ?").bind(1, table.id).step();
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

} // namespace devdb::catalogue
