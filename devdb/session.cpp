#include "session.h"

#include "bound_text.h"
#include "catalogue.h"
#include "rowcodec.h"
#include "unordered.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace devdb {

namespace {

ColumnType varchar(int n) { ColumnType t; t.kind = Kind::Varchar2; t.length = n; return t; }
ColumnType number() { ColumnType t; t.kind = Kind::Number; return t; }
Value text(const std::string& s) { return s.empty() ? Value{} : Value::of(s); }
Value num(std::optional<int> v) { return v ? Value::of(std::to_string(*v)) : Value{}; }

[[noreturn]] void invalidIdentifier(const std::string& name) { throwOra(904, dq(name) + ": invalid identifier"); }

size_t indexOf(const std::vector<ResultColumn>& columns, const std::string& name)
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name) return i;
    invalidIdentifier(name);
}

std::vector<ResultColumn> columnsOf(const TableInfo& t)
{
    std::vector<ResultColumn> out;
    for (const ColumnInfo& c : t.columns) out.push_back({c.name, c.type, !c.notNull, c.invisible});
    return out;
}

} // namespace

std::unique_ptr<Session> Session::connect(const std::string& dataDir, const std::string& sid, const std::string& user,
                                          const std::string& password)
{
    // Logging on is a round trip too, whether it succeeds or not.
    const int latency = markerNumber(dataDir, "latency");
    if (latency > 0) std::this_thread::sleep_for(std::chrono::milliseconds(latency));
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
    s->latencyMs_ = latency;
    s->arraysRefused_ = markerSet(dataDir, "no-arrays");
    s->generationQuery_ = s->db_->prepare("SELECT gen FROM dd_meta");
    return s;
}

void Session::refreshCatalogue()
{
    // One cheap query per statement; definitions are looked up again only after a change.
    generationQuery_.reset();
    const int64_t gen = generationQuery_.step() ? generationQuery_.integer(0) : 0;
    generationQuery_.reset();
    if (gen == generation_) return;
    tables_.clear();
    generation_ = gen;
}

Session::TablePtr Session::findTable(const QualifiedName& name)
{
    const auto key = std::make_pair(ownerOf(name), name.name);
    auto it = tables_.find(key);
    if (it == tables_.end()) it = tables_.emplace(key, catalogue::findTable(*db_, key.first, key.second)).first;
    return it->second;
}

Session::TablePtr Session::requireTable(const QualifiedName& name)
{
    TablePtr t = findTable(name);
    if (!t) throwOra(942, "table or view does not exist");
    return t;
}

Session::~Session()
{
    // A connection that ends without committing leaves nothing behind.
    if (inTransaction_) {
        trace("ROLLBACK");
        sqlite3_exec(db_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Session::trace(std::string_view text)
{
    if (!trace_) return;
    std::string line = sid_ + "|";
    for (char c : text) line += (c == '\n') ? std::string("\\n") : std::string(1, c);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), trace_.get());
    std::fflush(trace_.get());
}

void Session::applyFault(std::string_view text)
{
    const FaultRule* fault = faults_.onStatement(text);
    if (!fault) return;
    if (fault->losesConnection()) {
        lost_ = fault->error();
        endTransaction(false); // the server's end of the session went, and its transaction with it
    }
    throw fault->error();
}

void Session::roundTrip() const
{
    if (latencyMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs_));
}

ExecResult Session::execute(std::string_view sql)
{
    trace(sql);
    if (lost_) throw *lost_;
    applyFault(sql);
    Statement st = parseStatement(sql);
    refreshCatalogue();
    return run(st);
}

BoundResult Session::executeBound(std::string_view sql, const Prepared& prepared, size_t rows, const RowValues& values)
{
    const bool query = std::holds_alternative<Select>(prepared.statement);
    if (query && rows > 1) throw DbError("HYC00", 0, "Optional feature not implemented: a query with an array of parameters");
    if (!lost_) refreshCatalogue();
    // Writing rows out costs time; only the trace and fault rules need it.
    const bool written = trace_ || !faults_.empty();
    TablePtr table; // keeps the column types below alive
    const std::vector<const ColumnType*> columns = written ? markerColumns(prepared, table) : std::vector<const ColumnType*>{};
    const bool changes = std::holds_alternative<Insert>(prepared.statement) || std::holds_alternative<Delete>(prepared.statement);
    const bool ownTransaction = rows > 1 && autocommit_ && changes && !lost_;
    if (ownTransaction) begin();
    BoundResult out;
    std::vector<Literal> row;
    try {
        for (; out.done < rows; ++out.done) {
            try {
                row.assign(prepared.markers.size(), Literal{});
                values(out.done, row);
                if (written) {
                    const std::string text = boundText(sql, prepared.markers, row, columns);
                    trace(text);
                    if (lost_) throw *lost_;
                    applyFault(text);
                } else if (lost_) {
                    throw *lost_;
                }
                boundRow_ = &row;
                ExecResult r = run(prepared.statement);
                boundRow_ = nullptr;
                out.result.rowCount += r.rowCount;
                if (r.cursor) out.result.cursor = std::move(r.cursor);
            } catch (const DbError& e) {
                boundRow_ = nullptr;
                out.error = e;
                break;
            }
        }
    } catch (...) {
        boundRow_ = nullptr;
        if (ownTransaction) endTransaction(false);
        throw;
    }
    if (ownTransaction) endTransaction(!out.error);
    if (ownTransaction && out.error) out.result.rowCount = 0; // the array's rows went with it
    return out;
}

const Literal& Session::resolved(const Literal& lit) const
{
    static const Literal unbound{Literal::Kind::Parameter, {}, 0};
    static const Literal null;
    if (lit.kind != Literal::Kind::Parameter) return lit;
    if (!boundRow_) return null; // described, not run
    return lit.marker < boundRow_->size() ? (*boundRow_)[lit.marker] : unbound;
}

std::vector<const ColumnType*> Session::markerColumns(const Prepared& prepared, TablePtr& table)
{
    std::vector<const ColumnType*> columns(prepared.markers.size(), nullptr);
    auto note = [&](const Literal& lit, int column) {
        if (lit.kind == Literal::Kind::Parameter && column >= 0 && lit.marker < columns.size())
            columns[lit.marker] = &table->columns[size_t(column)].type;
    };
    auto conditions = [&](const std::vector<Condition>& where) {
        for (const Condition& c : where) note(c.value, table->columnIndex(c.column));
    };
    if (const auto* ins = std::get_if<Insert>(&prepared.statement)) {
        if (!(table = findTable(ins->table))) return columns;
        std::vector<int> targets;
        for (size_t i = 0; i < table->columns.size(); ++i)
            if (!ins->hasColumnList && !table->columns[i].invisible) targets.push_back(int(i));
        for (const std::string& name : ins->columns) targets.push_back(table->columnIndex(name));
        for (size_t i = 0; i < ins->values.size() && i < targets.size(); ++i) note(ins->values[i], targets[i]);
    } else if (const auto* del = std::get_if<Delete>(&prepared.statement)) {
        if ((table = findTable(del->table))) conditions(del->where);
    } else if (const auto* sel = std::get_if<Select>(&prepared.statement)) {
        if ((table = findTable(sel->table))) conditions(sel->where);
    }
    return columns;
}

bool Session::setAutocommit(bool on)
{
    const bool commits = on && !autocommit_ && inTransaction_;
    if (on && !autocommit_) endTransaction(true); // as ODBC has it
    autocommit_ = on;
    return commits;
}

void Session::commit()
{
    trace("COMMIT");
    if (lost_) throw *lost_;
    endTransaction(true);
}

void Session::rollback()
{
    trace("ROLLBACK");
    if (lost_) throw *lost_;
    endTransaction(false);
}

void Session::beginChange()
{
    if (!autocommit_ && !inTransaction_) begin();
}

void Session::begin()
{
    // The write lock is taken at once (another connection's open transaction is waited for, up
    // to the busy timeout), so a transaction never fails half-way for want of it.
    db_->exec("BEGIN IMMEDIATE");
    inTransaction_ = true;
}

void Session::endTransaction(bool commit)
{
    if (!inTransaction_) return;
    inTransaction_ = false;
    if (!commit) {
        sqlite3_exec(db_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        return;
    }
    try {
        db_->exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
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
    endTransaction(true); // DDL commits the open transaction first, as in Oracle
    TableInfo t;
    t.owner = ownerOf(st.table);
    t.name = st.table.name;
    if (findTable(st.table)) throwOra(955, "name is already used by an existing object");
    const bool extended = catalogue::extendedStrings(*db_);
    for (const ColumnDef& c : st.columns) {
        if (c.type.length > longestLength(c.type.kind, extended))
            throwOra(910, "specified length too long for its datatype");
        t.columns.push_back({c.name, c.type, c.notNull, c.invisible});
    }
    for (const std::string& k : st.primaryKey) t.primaryKey.push_back(t.columnIndex(k));
    t.primaryKeyName = st.primaryKeyName;
    catalogue::createTable(*db_, t);
    generation_ = -1;
    return {};
}

ExecResult Session::dropTable(const DropTable& st)
{
    endTransaction(true); // DDL commits the open transaction first, as in Oracle
    const TablePtr t = requireTable(st.table);
    catalogue::dropTable(*db_, *t);
    generation_ = -1;
    return {};
}

ExecResult Session::renameTable(const RenameTable& st)
{
    endTransaction(true); // DDL commits the open transaction first, as in Oracle
    const TablePtr from = findTable({"", st.from});
    if (!from) throwOra(4043, "object " + st.from + " does not exist");
    if (findTable({"", st.to})) throwOra(955, "name is already used by an existing object");
    catalogue::renameTable(*db_, *from, st.to);
    generation_ = -1;
    return {};
}

ExecResult Session::insert(const Insert& st)
{
    const TablePtr table = requireTable(st.table);
    const TableInfo& t = *table;
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
        // Without a column list the values go to the visible columns, in order.
        for (size_t i = 0; i < t.columns.size(); ++i)
            if (!t.columns[i].invisible) targets.push_back(int(i));
    }
    if (st.values.size() > targets.size()) throwOra(913, "too many values");
    if (st.values.size() < targets.size()) throwOra(947, "not enough values");

    std::vector<Value> values(t.columns.size());
    for (size_t i = 0; i < targets.size(); ++i) {
        const ColumnInfo& c = t.columns[size_t(targets[i])];
        values[size_t(targets[i])] = toStored(c.type, resolved(st.values[i]), {t.owner, t.name, c.name});
    }
    for (size_t i = 0; i < t.columns.size(); ++i)
        if (t.columns[i].notNull && values[i].null)
            throwOra(1400, "cannot insert NULL into (" + dq(t.owner) + "." + dq(t.name) + "."
                               + dq(t.columns[i].name) + ")");

    beginChange();
    // The next rowid of the table's range; the primary key entry's unique index guards the key.
    if (!insertRow_)
        insertRow_ = db_->prepare("INSERT INTO dd_rows(rowid, row, pk) VALUES(coalesce((SELECT rowid FROM dd_rows"
                                  " WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid DESC LIMIT 1), ?1) + 1, ?3, ?4)");
    insertRow_.bind(1, catalogue::firstRowid(t.id)).bind(2, catalogue::lastRowid(t.id));
    insertRow_.bindValue(3, Value::of(encodeRow(values)), true);
    if (!t.primaryKey.empty()) insertRow_.bindValue(4, Value::of(primaryKeyEntry(t.id, values, t.primaryKey)), true);
    try {
        insertRow_.step();
    } catch (const DbError& e) {
        insertRow_.reset();
        if (e.native == 1) throwOra(1, "unique constraint (" + t.owner + "." + t.primaryKeyName + ") violated");
        throw;
    }
    insertRow_.reset();
    return {nullptr, 1};
}

SqliteStmt Session::tableRows(const TableInfo& t)
{
    SqliteStmt st = db_->prepare("SELECT row, rowid FROM dd_rows WHERE rowid BETWEEN ? AND ?");
    st.bind(1, catalogue::firstRowid(t.id)).bind(2, catalogue::lastRowid(t.id));
    return st;
}

ExecResult Session::remove(const Delete& st)
{
    const TablePtr table = requireTable(st.table);
    const TableInfo& t = *table;
    const RowFilter filter = filterFor(columnsOf(t), st.where);
    beginChange();
    if (filter.tests.empty()) {
        db_->prepare("DELETE FROM dd_rows WHERE rowid BETWEEN ? AND ?")
            .bind(1, catalogue::firstRowid(t.id)).bind(2, catalogue::lastRowid(t.id)).step();
        return {nullptr, sqlite3_changes64(db_->handle())};
    }
    // Rows are found and deleted in one write transaction, so no other connection's change to
    // the table falls between; inside an open transaction, a savepoint undoes only this statement.
    std::vector<int64_t> doomed;
    db_->exec(inTransaction_ ? "SAVEPOINT doomed" : "BEGIN IMMEDIATE");
    try {
        {
            SqliteStmt rows = tableRows(t);
            std::vector<Value> row;
            while (rows.step()) {
                decodeRow(rows.text(0), t.columns.size(), row);
                if (filter.keeps(row)) doomed.push_back(rows.integer(1));
            }
        }
        SqliteStmt del = db_->prepare("DELETE FROM dd_rows WHERE rowid = ?");
        for (int64_t rowid : doomed) {
            del.reset();
            del.bind(1, rowid).step();
        }
        db_->exec(inTransaction_ ? "RELEASE doomed" : "COMMIT");
    } catch (...) {
        sqlite3_exec(db_->handle(), inTransaction_ ? "ROLLBACK TO doomed; RELEASE doomed" : "ROLLBACK", nullptr, nullptr,
                     nullptr);
        throw;
    }
    return {nullptr, int64_t(doomed.size())};
}

Literal Session::conditionValue(const Condition& c) const
{
    return c.valueIsUser ? Literal{Literal::Kind::String, user_, 0} : resolved(c.value);
}

RowFilter Session::filterFor(const std::vector<ResultColumn>& columns, const std::vector<Condition>& where) const
{
    RowFilter filter;
    for (const Condition& c : where) {
        RowFilter::Test test;
        test.column = indexOf(columns, c.column);
        switch (c.op) {
        case Condition::Op::IsNull: test.op = RowFilter::Test::Op::IsNull; break;
        case Condition::Op::IsNotNull: test.op = RowFilter::Test::Op::IsNotNull; break;
        case Condition::Op::Equal: test.value = toComparable(columns[test.column].type, conditionValue(c)); break;
        }
        filter.tests.push_back(std::move(test));
    }
    return filter;
}

RowOrder Session::orderFor(const std::vector<ResultColumn>& columns, const std::vector<OrderItem>& orderBy) const
{
    RowOrder order;
    for (const OrderItem& o : orderBy) {
        const size_t i = indexOf(columns, o.column);
        order.keys.push_back({i, o.descending, isNumeric(columns[i].type)});
    }
    return order;
}

Projection Session::projectionFor(const Select& st, const std::vector<ResultColumn>& columns, bool evaluate)
{
    Projection p;
    if (st.star) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].invisible) continue; // named, or not at all
            p.columns.push_back(columns[i]);
            p.source.push_back(i);
            p.constants.emplace_back();
        }
    }
    for (const SelectItem& item : st.items) {
        if (item.kind == SelectItem::Kind::Column) {
            const size_t i = indexOf(columns, item.name);
            p.columns.push_back(columns[i]);
            p.source.push_back(i);
            p.constants.emplace_back();
        } else {
            p.columns.push_back(itemColumn(item));
            p.source.push_back(std::nullopt);
            p.constants.push_back(evaluate ? itemValue(item) : Value{});
        }
    }
    return p;
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

ExecResult Session::select(const Select& st, bool describeOnly)
{
    const TablePtr table = findTable(st.table);
    if (!table && (st.table.owner.empty() || st.table.owner == "SYS")) {
        std::vector<ResultColumn> columns;
        std::vector<std::vector<Value>> rows;
        if (dictionaryView(st.table.name, st.where, columns, rows, !describeOnly))
            return selectView(st, std::move(columns), std::move(rows), describeOnly);
    }
    if (!table) throwOra(942, "table or view does not exist");
    return selectTable(st, *table, describeOnly);
}

ExecResult Session::selectTable(const Select& st, const TableInfo& t, bool describeOnly)
{
    const std::vector<ResultColumn> columns = columnsOf(t);
    const RowFilter filter = filterFor(columns, st.where);
    const RowOrder order = orderFor(columns, st.orderBy);
    if (st.count) {
        std::vector<ResultColumn> out{{"COUNT(*)", number(), false}};
        if (describeOnly) return {memoryCursor(std::move(out), {}), -1};
        int64_t count = 0;
        if (filter.tests.empty()) {
            SqliteStmt q = db_->prepare("SELECT count(*) FROM dd_rows WHERE rowid BETWEEN ? AND ?");
            q.bind(1, catalogue::firstRowid(t.id)).bind(2, catalogue::lastRowid(t.id));
            count = q.step() ? q.integer(0) : 0;
        } else {
            SqliteStmt rows = tableRows(t);
            std::vector<Value> row;
            while (rows.step()) {
                decodeRow(rows.text(0), columns.size(), row);
                if (filter.keeps(row)) ++count;
            }
        }
        return {memoryCursor(std::move(out), {{Value::of(std::to_string(count))}}), -1};
    }
    Projection projection = projectionFor(st, columns, !describeOnly);
    if (describeOnly) return {memoryCursor(projection.columns, {}), -1};
    if (order.keys.empty())
        return {tableCursor(tableRows(t), columns.size(), filter, std::move(projection)), -1};
    // Sorted: every matching row is read, then handed out in order.
    std::vector<std::vector<Value>> rows;
    {
        SqliteStmt all = tableRows(t);
        std::vector<Value> row;
        while (all.step()) {
            decodeRow(all.text(0), columns.size(), row);
            if (filter.keeps(row)) rows.push_back(row);
        }
    }
    order.sort(rows);
    for (auto& r : rows) {
        std::vector<Value> shaped;
        projection.apply(r, shaped);
        r = std::move(shaped);
    }
    return {memoryCursor(std::move(projection.columns), std::move(rows)), -1};
}

namespace {
// The value of a "COLUMN = 'text'" condition, to look only that name up in the catalogue.
std::optional<std::string> equalsText(const std::vector<Condition>& where, const char* column, const std::string& user)
{
    for (const Condition& c : where) {
        if (c.column != column || c.op != Condition::Op::Equal) continue;
        if (c.valueIsUser) return user;
        if (c.value.kind == Literal::Kind::String && !c.value.text.empty()) return c.value.text;
    }
    return std::nullopt;
}
} // namespace

bool Session::dictionaryView(const std::string& name, const std::vector<Condition>& where,
                             std::vector<ResultColumn>& columns, std::vector<std::vector<Value>>& rows, bool withRows)
{
    // Conditions on OWNER and TABLE_NAME narrow the catalogue lookup; every condition is still
    // applied to the rows afterwards.
    const bool allColumns = name == "ALL_TAB_COLUMNS", userColumns = name == "USER_TAB_COLUMNS";
    if (name == "USER_TABLES" || name == "ALL_TABLES") {
        const bool all = name == "ALL_TABLES";
        if (all) columns.push_back({"OWNER", varchar(128), false});
        columns.push_back({"TABLE_NAME", varchar(128), false});
        if (!withRows) return true;
        const auto owner = all ? equalsText(where, "OWNER", user_) : std::optional<std::string>(user_);
        for (const TableInfo& t : catalogue::listTables(*db_, owner, equalsText(where, "TABLE_NAME", user_), false)) {
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
        const auto owner = allColumns ? equalsText(where, "OWNER", user_) : std::optional<std::string>(user_);
        std::vector<TableInfo> tables = catalogue::listTables(*db_, owner, equalsText(where, "TABLE_NAME", user_), true);
        std::stable_sort(tables.begin(), tables.end(), [](const TableInfo& a, const TableInfo& b) { return a.owner < b.owner; });
        for (const TableInfo& t : tables) {
            int visibleColumns = 0;
            for (size_t i = 0; i < t.columns.size(); ++i) {
                const ColumnInfo& c = t.columns[i];
                std::vector<Value> row;
                if (allColumns) row.push_back(Value::of(t.owner));
                row.push_back(Value::of(t.name));
                row.push_back(Value::of(c.name));
                row.push_back(Value::of(dataType(c.type)));
                row.push_back(num(dataLength(c.type)));
                row.push_back(num(dataPrecision(c.type)));
                row.push_back(num(dataScale(c.type)));
                row.push_back(text(c.notNull ? "N" : "Y"));
                // An invisible column has no place in the column order.
                row.push_back(c.invisible ? Value{} : num(++visibleColumns));
                row.push_back(num(charLength(c.type)));
                const auto used = charUsed(c.type);
                row.push_back(used ? Value::of(*used) : Value{});
                rows.push_back(std::move(row));
            }
        }
        return true;
    }
    if (name == "USER_USERS") {
        columns.push_back({"USERNAME", varchar(128), false});
        columns.push_back({"USER_ID", number(), false});
        ColumnType date;
        date.kind = Kind::Date;
        columns.push_back({"CREATED", date, false});
        if (!withRows) return true;
        if (const auto facts = catalogue::userFacts(*db_, user_))
            rows.push_back({Value::of(user_), Value::of(std::to_string(facts->userId)), Value::of(facts->created)});
        return true;
    }
    if (name == "DUAL") {
        columns.push_back({"DUMMY", varchar(1), true});
        if (withRows) rows.push_back({Value::of("X")});
        return true;
    }
    return false;
}

ExecResult Session::selectView(const Select& st, std::vector<ResultColumn> columns,
                               std::vector<std::vector<Value>> rows, bool describeOnly)
{
    const RowFilter filter = filterFor(columns, st.where);
    std::erase_if(rows, [&](const std::vector<Value>& r) { return !filter.keeps(r); });
    if (unordered_ && st.orderBy.empty() && !describeOnly) scramble(rows); // no order was asked for
    orderFor(columns, st.orderBy).sort(rows);

    if (st.count) {
        std::vector<std::vector<Value>> result;
        if (!describeOnly) result.push_back({Value::of(std::to_string(rows.size()))});
        return {memoryCursor({{"COUNT(*)", number(), false}}, std::move(result)), -1};
    }
    Projection projection = projectionFor(st, columns, !describeOnly && !rows.empty());
    if (describeOnly) rows.clear();
    for (auto& r : rows) {
        std::vector<Value> shaped;
        projection.apply(r, shaped);
        r = std::move(shaped);
    }
    return {memoryCursor(std::move(projection.columns), std::move(rows)), -1};
}

} // namespace devdb
