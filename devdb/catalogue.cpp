#include "catalogue.h"

#include "rowcodec.h"
#include "sqlparse.h"
#include "util.h"

#include <algorithm>
#include <map>

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

// Adds one dd_columns row (table_id, name, type, not_null, pk_pos in key order) to its table.
void addColumn(TableInfo& t, SqliteStmt& st, std::map<int64_t, int>& keyOrder)
{
    ColumnInfo col;
    col.name = st.text(1);
    col.type = parseTypeDeclaration(st.text(2));
    col.notNull = st.integer(3) != 0;
    if (sqlite3_column_type(st.get(), 4) != SQLITE_NULL) keyOrder[st.integer(4)] = int(t.columns.size());
    t.columns.push_back(std::move(col));
}

void readColumns(SqliteDb& db, TableInfo& t)
{
    SqliteStmt c = db.prepare("SELECT table_id, name, type, not_null, pk_pos FROM dd_columns WHERE table_id = ? ORDER BY pos");
    c.bind(1, t.id);
    std::map<int64_t, int> keyOrder;
    while (c.step()) addColumn(t, c, keyOrder);
    for (auto& [pos, index] : keyOrder) t.primaryKey.push_back(index);
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
        db.exec("CREATE TABLE dd_meta(gen INTEGER NOT NULL, db_name TEXT, cdb_name TEXT);"
                "CREATE TABLE dd_users(name TEXT PRIMARY KEY, password TEXT NOT NULL);"
                "CREATE TABLE dd_tables(id INTEGER PRIMARY KEY AUTOINCREMENT, owner TEXT NOT NULL,"
                " name TEXT NOT NULL, pk_name TEXT, UNIQUE(owner, name));"
                "CREATE TABLE dd_columns(table_id INTEGER NOT NULL, pos INTEGER NOT NULL,"
                " name TEXT NOT NULL, type TEXT NOT NULL, not_null INTEGER NOT NULL, pk_pos INTEGER,"
                " PRIMARY KEY(table_id, pos));");
        db.exec(rowTables);
        db.prepare("INSERT INTO dd_meta(gen, db_name) VALUES(0, ?)").bind(1, name).step();
    });
}

void upgrade(SqliteDb& db, const std::string& name)
{
    if (compiles(db, "SELECT db_name, cdb_name FROM dd_meta") && compiles(db, "SELECT pk FROM dd_rows")) return;
    if (!compiles(db, "SELECT gen FROM dd_meta") || !compiles(db, "SELECT id FROM dd_tables")) return; // not ours
    inWriteTransaction(db, [&] {
        // A file from before databases knew their own name: it is the SID it was made under.
        if (!compiles(db, "SELECT db_name FROM dd_meta")) {
            db.exec("ALTER TABLE dd_meta ADD COLUMN db_name TEXT; ALTER TABLE dd_meta ADD COLUMN cdb_name TEXT");
            db.prepare("UPDATE dd_meta SET db_name = ?").bind(1, name).step();
        }
        if (!compiles(db, "SELECT pk FROM dd_rows")) {
            moveRowsIntoOneTable(db);
            db.exec("UPDATE dd_meta SET gen = gen + 1");
        }
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
    SqliteStmt c = db.prepare("SELECT table_id, name, type, not_null, pk_pos FROM dd_columns ORDER BY table_id, pos");
    while (c.step()) {
        auto it = byId.find(c.integer(0));
        if (it != byId.end()) addColumn(tables[it->second], c, keyOrder[c.integer(0)]);
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

        SqliteStmt col = db.prepare("INSERT INTO dd_columns(table_id, pos, name, type, not_null, pk_pos) VALUES(?,?,?,?,?,?)");
        for (size_t i = 0; i < table.columns.size(); ++i) {
            const ColumnInfo& c = table.columns[i];
            col.reset();
            col.bind(1, table.id).bind(2, int64_t(i + 1)).bind(3, c.name).bind(4, declaration(c.type));
            col.bind(5, int64_t(c.notNull ? 1 : 0));
            auto key = std::find(table.primaryKey.begin(), table.primaryKey.end(), int(i));
            if (key != table.primaryKey.end()) col.bind(6, int64_t(key - table.primaryKey.begin()));
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
