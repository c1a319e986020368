#include "session.h"

#include "unordered.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace devdb {

namespace {

class MemoryCursor : public Cursor {
public:
    MemoryCursor(std::vector<ResultColumn> columns, std::vector<std::vector<Value>> rows)
        : Cursor(std::move(columns)), rows_(std::move(rows)) {}
    bool next() override
    {
        if (next_ >= rows_.size()) { row_.clear(); rows_.clear(); return false; }
        row_ = std::move(rows_[next_++]);
        return true;
    }

private:
    std::vector<std::vector<Value>> rows_;
    size_t next_ = 0;
};

// A select list with more than columns: picks a source cursor's columns and adds constants.
class ProjectingCursor : public Cursor {
public:
    ProjectingCursor(std::vector<ResultColumn> columns, std::unique_ptr<Cursor> source, std::vector<int> sourceIndex,
                     std::vector<Value> constants)
        : Cursor(std::move(columns)), source_(std::move(source)), sourceIndex_(std::move(sourceIndex)),
          constants_(std::move(constants)) {}
    bool next() override
    {
        if (!source_->next()) { row_.clear(); return false; }
        row_.resize(columns_.size());
        for (size_t i = 0; i < columns_.size(); ++i)
            row_[i] = sourceIndex_[i] >= 0 ? source_->row()[size_t(sourceIndex_[i])] : constants_[i];
        return true;
    }

private:
    std::unique_ptr<Cursor> source_;
    std::vector<int> sourceIndex_; // -1: the constant
    std::vector<Value> constants_;
};

class SqliteCursor : public Cursor {
public:
    SqliteCursor(std::vector<ResultColumn> columns, SqliteStmt st) : Cursor(std::move(columns)), st_(std::move(st)) {}
    bool next() override
    {
        if (!st_) return false;
        bool more;
        try {
            more = st_.step();
        } catch (...) {
            st_ = SqliteStmt();
            throw;
        }
        if (!more) {
            // Finished: let go of the read snapshot at once so other connections are not held up.
            st_ = SqliteStmt();
            row_.clear();
            return false;
        }
        row_.resize(columns_.size());
        for (size_t i = 0; i < columns_.size(); ++i) row_[i] = st_.value(int(i));
        return true;
    }

private:
    SqliteStmt st_;
};

ColumnType varchar(int n) { ColumnType t; t.kind = Kind::Varchar2; t.length = n; return t; }
ColumnType number() { ColumnType t; t.kind = Kind::Number; return t; }
Value text(const std::string& s) { return s.empty() ? Value{} : Value::of(s); }
Value num(std::optional<int> v) { return v ? Value::of(std::to_string(*v)) : Value{}; }

[[noreturn]] void invalidIdentifier(const std::string& name) { throwOra(904, dq(name) + ": invalid identifier"); }

// Oracle puts NULLs last when ascending and first when descending.
bool lessForOrder(const Value& a, const Value& b, const ColumnType& t, bool descending)
{
    if (a.null || b.null) {
        if (a.null == b.null) return false;
        return descending ? a.null : b.null;
    }
    int c = isNumeric(t) ? compareNumbers(a.data, b.data) : a.data.compare(b.data);
    return descending ? c > 0 : c < 0;
}

} // namespace

std::unique_ptr<Session> Session::connect(const std::string& dataDir, const std::string& sid, const std::string& user,
                                          const std::string& password)
{
    FaultRules rules = loadFaultRules(dataDir);
    if (auto fault = onConnectAttempt(rules)) throw fault->error();
    const std::string path = sidFilePath(dataDir, sid);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throwOra(12154, "TNS:could not resolve the connect identifier specified");
    std::unique_ptr<Session> s(new Session());
    s->db_ = SqliteDb::open(path, false);
    s->sid_ = upperAscii(sid);
    s->user_ = upperAscii(trim(user));
    if (s->user_.empty() || !catalogue::checkLogin(*s->db_, s->user_, password))
        throwOra(1017, "invalid username/password; logon denied");
    s->faults_ = FaultCounter(std::move(rules.rules));
    if (markerSet(dataDir, "trace")) s->trace_.reset(std::fopen(markerPath(dataDir, "trace").c_str(), "a"));
    s->unordered_ = markerSet(dataDir, "unordered");
    s->narrow_ = markerSet(dataDir, "narrow");
    s->generationQuery_ = s->db_->prepare("SELECT gen FROM dd_meta");
    return s;
}

void Session::refreshCatalogue()
{
    // One cheap query per statement; the catalogue itself is re-read only after a change.
    generationQuery_.reset();
    const int64_t gen = generationQuery_.step() ? generationQuery_.integer(0) : 0;
    generationQuery_.reset();
    if (gen == generation_) return;
    insertCache_.clear();
    tables_ = catalogue::load(*db_);
    tableIndex_.clear();
    for (size_t i = 0; i < tables_.size(); ++i) tableIndex_[{tables_[i].owner, tables_[i].name}] = i;
    generation_ = gen;
}

const TableInfo* Session::findTable(const QualifiedName& name) const
{
    auto it = tableIndex_.find({ownerOf(name), name.name});
    return it == tableIndex_.end() ? nullptr : &tables_[it->second];
}

const TableInfo& Session::requireTable(const QualifiedName& name) const
{
    const TableInfo* t = findTable(name);
    if (!t) throwOra(942, "table or view does not exist");
    return *t;
}

ExecResult Session::execute(std::string_view sql)
{
    if (trace_) {
        std::string line = sid_ + "|";
        for (char c : sql) line += (c == '\n') ? std::string("\\n") : std::string(1, c);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), trace_.get());
        std::fflush(trace_.get());
    }
    if (lost_) throw *lost_;
    if (const FaultRule* fault = faults_.onStatement(sql)) {
        if (fault->losesConnection()) lost_ = fault->error();
        throw fault->error();
    }
    Statement st = parseStatement(sql);
    refreshCatalogue();
    return run(st);
}

std::vector<ResultColumn> Session::describe(std::string_view sql)
{
    if (lost_) throw *lost_;
    Statement st = parseStatement(sql);
    if (!std::holds_alternative<Select>(st)) return {};
    refreshCatalogue();
    return select(std::get<Select>(st), true).cursor->columns();
}

ExecResult Session::run(const Statement& st)
{
    return std::visit(
        [&](const auto& s) -> ExecResult {
            using T = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<T, CreateTable>) return createTable(s);
            else if constexpr (std::is_same_v<T, DropTable>) return dropTable(s);
            else if constexpr (std::is_same_v<T, RenameTable>) return renameTable(s);
            else if constexpr (std::is_same_v<T, Insert>) return insert(s);
            else if constexpr (std::is_same_v<T, Delete>) return remove(s);
            else return select(s, false);
        },
        st);
}

ExecResult Session::createTable(const CreateTable& st)
{
    TableInfo t;
    t.owner = ownerOf(st.table);
    t.name = st.table.name;
    if (findTable(st.table)) throwOra(955, "name is already used by an existing object");
    for (const ColumnDef& c : st.columns) t.columns.push_back({c.name, c.type, c.notNull});
    for (const std::string& k : st.primaryKey) t.primaryKey.push_back(t.columnIndex(k));
    t.primaryKeyName = st.primaryKeyName;
    catalogue::createTable(*db_, t);
    generation_ = -1;
    return {};
}

ExecResult Session::dropTable(const DropTable& st)
{
    const TableInfo& t = requireTable(st.table);
    insertCache_.clear();
    catalogue::dropTable(*db_, t);
    generation_ = -1;
    return {};
}

ExecResult Session::renameTable(const RenameTable& st)
{
    const TableInfo* from = findTable({"", st.from});
    if (!from) throwOra(4043, "object " + st.from + " does not exist");
    if (findTable({"", st.to})) throwOra(955, "name is already used by an existing object");
    catalogue::renameTable(*db_, *from, st.to);
    generation_ = -1;
    return {};
}

ExecResult Session::insert(const Insert& st)
{
    const TableInfo& t = requireTable(st.table);
    std::vector<int> targets;
    if (st.hasColumnList) {
        for (const std::string& name : st.columns) {
            const int index = t.columnIndex(name);
            if (index < 0) invalidIdentifier(name);
            if (std::find(targets.begin(), targets.end(), index) != targets.end())
                throwOra(957, "duplicate column name");
            targets.push_back(index);
        }
    } else {
        targets.resize(t.columns.size());
        std::iota(targets.begin(), targets.end(), 0);
    }
    if (st.values.size() > targets.size()) throwOra(913, "too many values");
    if (st.values.size() < targets.size()) throwOra(947, "not enough values");

    std::vector<Value> values(t.columns.size());
    for (size_t i = 0; i < targets.size(); ++i) {
        const ColumnInfo& c = t.columns[size_t(targets[i])];
        values[size_t(targets[i])] = toStored(c.type, st.values[i], {t.owner, t.name, c.name});
    }
    for (size_t i = 0; i < t.columns.size(); ++i)
        if (t.columns[i].notNull && values[i].null)
            throwOra(1400, "cannot insert NULL into (" + dq(t.owner) + "." + dq(t.name) + "."
                               + dq(t.columns[i].name) + ")");

    std::string sql = "INSERT INTO " + t.internalName() + "(";
    std::string marks;
    for (size_t i = 0; i < targets.size(); ++i) {
        sql += (i ? "," : "") + TableInfo::internalColumn(size_t(targets[i]));
        marks += i ? ",?" : "?";
    }
    sql += ") VALUES(" + marks + ")";
    auto cached = insertCache_.find(sql);
    if (cached == insertCache_.end()) cached = insertCache_.emplace(sql, db_->prepare(sql)).first;
    SqliteStmt& ins = cached->second;
    for (size_t i = 0; i < targets.size(); ++i) {
        const size_t col = size_t(targets[i]);
        ins.bindValue(int(i + 1), values[col], isBinary(t.columns[col].type));
    }
    try {
        ins.step();
    } catch (const DbError& e) {
        ins.reset();
        if (e.native == 1) throwOra(1, "unique constraint (" + t.owner + "." + t.primaryKeyName + ") violated");
        throw;
    }
    ins.reset();
    return {nullptr, 1};
}

std::string Session::whereClause(const TableInfo& t, const std::vector<Condition>& where, std::vector<Value>& binds,
                                 std::vector<bool>& binary) const
{
    std::string sql;
    for (const Condition& c : where) {
        const int index = t.columnIndex(c.column);
        if (index < 0) invalidIdentifier(c.column);
        const ColumnInfo& col = t.columns[size_t(index)];
        sql += sql.empty() ? " WHERE " : " AND ";
        sql += TableInfo::internalColumn(size_t(index));
        if (c.op == Condition::Op::IsNull) { sql += " IS NULL"; continue; }
        if (c.op == Condition::Op::IsNotNull) { sql += " IS NOT NULL"; continue; }
        sql += " = ?";
        binds.push_back(toComparable(col.type, conditionValue(c))); // NULL never equals anything, as in Oracle
        binary.push_back(isBinary(col.type));
    }
    return sql;
}

ExecResult Session::remove(const Delete& st)
{
    const TableInfo& t = requireTable(st.table);
    std::vector<Value> binds;
    std::vector<bool> binary;
    const std::string sql = "DELETE FROM " + t.internalName() + whereClause(t, st.where, binds, binary);
    SqliteStmt del = db_->prepare(sql);
    for (size_t i = 0; i < binds.size(); ++i) del.bindValue(int(i + 1), binds[i], binary[i]);
    del.step();
    return {nullptr, sqlite3_changes64(db_->handle())};
}

bool Session::dictionaryView(const std::string& name, std::vector<ResultColumn>& columns,
                             std::vector<std::vector<Value>>& rows, bool withRows)
{
    const bool allColumns = name == "ALL_TAB_COLUMNS", userColumns = name == "USER_TAB_COLUMNS";
    if (name == "USER_TABLES" || name == "ALL_TABLES") {
        const bool all = name == "ALL_TABLES";
        if (all) columns.push_back({"OWNER", varchar(128), false});
        columns.push_back({"TABLE_NAME", varchar(128), false});
        if (!withRows) return true;
        for (const TableInfo& t : tables_) { // creation order
            if (!all && t.owner != user_) continue;
            std::vector<Value> row;
            if (all) row.push_back(Value::of(t.owner));
            row.push_back(Value::of(t.name));
            rows.push_back(std::move(row));
        }
        return true;
    }
    if (allColumns || userColumns) {
        if (allColumns) columns.push_back({"OWNER", varchar(128), false});
        for (const char* n : {"TABLE_NAME", "COLUMN_NAME", "DATA_TYPE"}) columns.push_back({n, varchar(128), false});
        columns.push_back({"DATA_LENGTH", number(), false});
        columns.push_back({"DATA_PRECISION", number(), true});
        columns.push_back({"DATA_SCALE", number(), true});
        columns.push_back({"NULLABLE", varchar(1), true});
        columns.push_back({"COLUMN_ID", number(), true});
        columns.push_back({"CHAR_LENGTH", number(), true});
        columns.push_back({"CHAR_USED", varchar(1), true});
        if (!withRows) return true;
        std::vector<const TableInfo*> order;
        for (const TableInfo& t : tables_)
            if (allColumns || t.owner == user_) order.push_back(&t);
        std::stable_sort(order.begin(), order.end(), [](const TableInfo* a, const TableInfo* b) { return a->owner < b->owner; });
        for (const TableInfo* t : order) {
            for (size_t i = 0; i < t->columns.size(); ++i) {
                const ColumnInfo& c = t->columns[i];
                std::vector<Value> row;
                if (allColumns) row.push_back(Value::of(t->owner));
                row.push_back(Value::of(t->name));
                row.push_back(Value::of(c.name));
                row.push_back(Value::of(dataType(c.type)));
                row.push_back(num(dataLength(c.type)));
                row.push_back(num(dataPrecision(c.type)));
                row.push_back(num(dataScale(c.type)));
                row.push_back(text(c.notNull ? "N" : "Y"));
                row.push_back(num(int(i + 1)));
                row.push_back(num(charLength(c.type)));
                const auto used = charUsed(c.type);
                row.push_back(used ? Value::of(*used) : Value{});
                rows.push_back(std::move(row));
            }
        }
        return true;
    }
    if (name == "DUAL") {
        columns.push_back({"DUMMY", varchar(1), true});
        if (withRows) rows.push_back({Value::of("X")});
        return true;
    }
    return false;
}

ExecResult Session::select(const Select& st, bool describeOnly)
{
    const TableInfo* table = findTable(st.table);
    if (!table && (st.table.owner.empty() || st.table.owner == "SYS")) {
        std::vector<ResultColumn> columns;
        std::vector<std::vector<Value>> rows;
        if (dictionaryView(st.table.name, columns, rows, !describeOnly))
            return selectView(st, std::move(columns), std::move(rows), describeOnly);
    }
    if (!table) throwOra(942, "table or view does not exist");
    const TableInfo& t = *table;

    std::vector<ResultColumn> columns;
    std::string sql = "SELECT ";
    // Select list items that are not columns are added to the rows read from SQLite.
    std::vector<ResultColumn> listed;
    std::vector<int> sourceIndex;
    std::vector<Value> constants;
    bool projected = false;
    if (st.count) {
        columns.push_back({"COUNT(*)", number(), false});
        sql += "count(*)";
    } else {
        std::vector<int> picks;
        if (st.star) {
            picks.resize(t.columns.size());
            std::iota(picks.begin(), picks.end(), 0);
        }
        for (size_t i = 0; i < picks.size(); ++i) {
            sourceIndex.push_back(int(i));
            constants.emplace_back();
        }
        for (const SelectItem& item : st.items) {
            if (item.kind == SelectItem::Kind::Column) {
                const int index = t.columnIndex(item.name);
                if (index < 0) invalidIdentifier(item.name);
                sourceIndex.push_back(int(picks.size()));
                constants.emplace_back();
                picks.push_back(index);
            } else {
                projected = true;
                sourceIndex.push_back(-1);
                constants.push_back(describeOnly ? Value{} : itemValue(item));
            }
        }
        if (picks.empty()) picks.push_back(0); // one column to count rows by
        for (size_t i = 0; i < picks.size(); ++i) {
            const ColumnInfo& c = t.columns[size_t(picks[i])];
            columns.push_back({c.name, c.type, !c.notNull});
            sql += (i ? ", " : "") + TableInfo::internalColumn(size_t(picks[i]));
        }
        if (projected) {
            for (size_t i = 0; i < sourceIndex.size(); ++i)
                listed.push_back(sourceIndex[i] >= 0 ? columns[size_t(sourceIndex[i])]
                                                     : itemColumn(st.items[i - (st.star ? t.columns.size() : 0)]));
        }
    }
    sql += " FROM " + t.internalName();
    std::vector<Value> binds;
    std::vector<bool> binary;
    sql += whereClause(t, st.where, binds, binary);
    for (size_t i = 0; i < st.orderBy.size(); ++i) {
        const OrderItem& o = st.orderBy[i];
        const int index = t.columnIndex(o.column);
        if (index < 0) invalidIdentifier(o.column);
        const std::string c = TableInfo::internalColumn(size_t(index));
        const char* dir = o.descending ? " DESC" : "";
        sql += i ? ", " : " ORDER BY ";
        sql += c + " IS NULL" + dir + ", " + c;
        if (isNumeric(t.columns[size_t(index)].type)) sql += " COLLATE devdb_number";
        sql += dir;
    }
    if (describeOnly)
        return {std::make_unique<MemoryCursor>(projected ? std::move(listed) : std::move(columns),
                                               std::vector<std::vector<Value>>{}),
                -1};
    SqliteStmt q = db_->prepare(sql);
    for (size_t i = 0; i < binds.size(); ++i) q.bindValue(int(i + 1), binds[i], binary[i]);
    auto cursor = std::make_unique<SqliteCursor>(std::move(columns), std::move(q));
    if (!projected) return {std::move(cursor), -1};
    return {std::make_unique<ProjectingCursor>(std::move(listed), std::move(cursor), std::move(sourceIndex),
                                               std::move(constants)),
            -1};
}

Literal Session::conditionValue(const Condition& c) const
{
    return c.valueIsUser ? Literal{Literal::Kind::String, user_} : c.value;
}

ResultColumn Session::itemColumn(const SelectItem& item) const
{
    switch (item.kind) {
    case SelectItem::Kind::SysContext: return {item.label, varchar(256), true}; // SYS_CONTEXT's default length
    case SelectItem::Kind::User: return {item.label, varchar(128), true};
    case SelectItem::Kind::String: {
        ColumnType t; // Oracle describes a literal as CHAR of its length
        t.kind = Kind::Char;
        t.length = std::max<int>(1, int(item.literal.text.size()));
        return {item.label, t, item.literal.kind == Literal::Kind::Null};
    }
    case SelectItem::Kind::Column: break;
    }
    throwOra(600, "internal error code, arguments: [select item]");
}

Value Session::itemValue(const SelectItem& item)
{
    switch (item.kind) {
    case SelectItem::Kind::SysContext: {
        if (!identity_) identity_ = catalogue::identity(*db_);
        auto v = sysContext(item.nameSpace, item.name, *identity_, user_);
        return v ? Value::of(*v) : Value{};
    }
    case SelectItem::Kind::User: return Value::of(user_);
    case SelectItem::Kind::String:
        return item.literal.kind == Literal::Kind::Null ? Value{} : Value::of(item.literal.text);
    case SelectItem::Kind::Column: break;
    }
    return {};
}

void Session::scramble(std::vector<std::vector<Value>>& rows)
{
    const std::vector<size_t> order = scrambledOrder(rows.size(), ++unorderedQueries_, lastScramble_);
    std::vector<std::vector<Value>> out;
    out.reserve(rows.size());
    for (size_t i : order) out.push_back(std::move(rows[i]));
    rows = std::move(out);
    lastScramble_ = order;
}

ExecResult Session::selectView(const Select& st, std::vector<ResultColumn> columns,
                               std::vector<std::vector<Value>> rows, bool describeOnly)
{
    auto indexOf = [&](const std::string& name) {
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i].name == name) return i;
        invalidIdentifier(name);
    };
    for (const Condition& c : st.where) {
        const size_t i = indexOf(c.column);
        Value want;
        if (c.op == Condition::Op::Equal) want = toComparable(columns[i].type, conditionValue(c));
        std::erase_if(rows, [&](const std::vector<Value>& r) {
            switch (c.op) {
            case Condition::Op::IsNull: return !r[i].null;
            case Condition::Op::IsNotNull: return r[i].null;
            default: return r[i].null || want.null || r[i].data != want.data;
            }
        });
    }
    if (unordered_ && st.orderBy.empty() && !describeOnly) scramble(rows); // no order was asked for
    std::vector<std::pair<size_t, bool>> order;
    for (const OrderItem& o : st.orderBy) order.push_back({indexOf(o.column), o.descending});
    std::stable_sort(rows.begin(), rows.end(), [&](const std::vector<Value>& a, const std::vector<Value>& b) {
        for (auto [i, desc] : order) {
            if (lessForOrder(a[i], b[i], columns[i].type, desc)) return true;
            if (lessForOrder(b[i], a[i], columns[i].type, desc)) return false;
        }
        return false;
    });

    std::vector<ResultColumn> out;
    std::vector<std::vector<Value>> result;
    if (st.count) {
        out.push_back({"COUNT(*)", number(), false});
        result.push_back({Value::of(std::to_string(rows.size()))});
    } else {
        // Each output column: a view column (its index) or an expression's value.
        std::vector<std::optional<size_t>> picks;
        std::vector<Value> constants;
        if (st.star)
            for (size_t i = 0; i < columns.size(); ++i) picks.push_back(i), constants.emplace_back();
        for (const SelectItem& item : st.items) {
            if (item.kind == SelectItem::Kind::Column) {
                picks.push_back(indexOf(item.name));
                constants.emplace_back();
                out.push_back(columns[*picks.back()]);
            } else {
                picks.push_back(std::nullopt);
                constants.push_back(describeOnly || rows.empty() ? Value{} : itemValue(item));
                out.push_back(itemColumn(item));
            }
        }
        if (st.star) out.insert(out.begin(), columns.begin(), columns.end());
        for (auto& r : rows) {
            std::vector<Value> projected;
            for (size_t i = 0; i < picks.size(); ++i) projected.push_back(picks[i] ? r[*picks[i]] : constants[i]);
            result.push_back(std::move(projected));
        }
    }
    if (describeOnly) result.clear();
    return {std::make_unique<MemoryCursor>(std::move(out), std::move(result)), -1};
}

} // namespace devdb
