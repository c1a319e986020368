// ODBC entry points of the driver. Every entry point that takes or gives text comes twice, as
// Oracle's own Unicode driver has it: the W one (UTF-16, what unixODBC passes through untouched
// from a Unicode application) and the ANSI one (UTF-8, for ANSI applications such as isql).
#include <algorithm>
#include "connstr.h"
#include "odbc_text.h"
#include "session.h"
#include "sid_files.h"
#include "util.h"

#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <new>
#include <set>
#include <unordered_set>

namespace devdb {
namespace {

constexpr const char* driverSection = "Microsoft ODBC for Oracle";

struct Diag {
    std::string state;
    int native = 0;
    std::string message; // with the driver prefix
};

enum class HandleKind { Env = 1, Dbc, Stmt };

struct Handle {
    explicit Handle(HandleKind k) : kind(k) {}
    virtual ~Handle() = default;
    HandleKind kind;
    std::vector<Diag> diags;

    void clearDiags() { diags.clear(); }
    void add(const std::string& state, int native, const std::string& text)
    {
        const bool oracle = text.rfind("ORA-", 0) == 0 || text.rfind("TNS-", 0) == 0;
        diags.push_back({state, native, std::string(oracle ? "[devdb][Oracle]" : "[devdb]") + text});
    }
    SQLRETURN fail(const std::string& state, const std::string& text)
    {
        add(state, 0, text);
        return SQL_ERROR;
    }
};

struct Stmt;

struct Env : Handle {
    Env() : Handle(HandleKind::Env) {}
    SQLINTEGER odbcVersion = SQL_OV_ODBC3;
    std::set<struct Dbc*> connections;
};

struct Dbc : Handle {
    Dbc() : Handle(HandleKind::Dbc) {}
    Env* env = nullptr;
    std::unique_ptr<Session> session;
    std::set<Stmt*> statements;
    std::map<SQLINTEGER, SQLULEN> attributes;
};

struct Binding {
    SQLSMALLINT ctype = SQL_C_CHAR;
    SQLPOINTER target = nullptr;
    SQLLEN length = 0;
    SQLLEN* indicator = nullptr;
};

// Where a piecewise SQLGetData stands in the current column.
struct ReadState {
    int column = 0;
    SQLSMALLINT ctype = 0;
    bool started = false, finished = false;
    size_t offset = 0;
    std::string bytes;
    std::u16string wide;
};

struct Stmt : Handle {
    Stmt() : Handle(HandleKind::Stmt) {}
    Dbc* dbc = nullptr;
    std::string sql;
    bool prepared = false;
    bool executed = false;
    std::optional<std::vector<ResultColumn>> described; // of a prepared, not yet executed query
    std::unique_ptr<Cursor> cursor;
    bool onRow = false;
    SQLLEN rowCount = -1;
    ReadState read;
    std::map<int, Binding> bindings;
    std::map<SQLINTEGER, SQLULEN> attributes;

    void closeCursor()
    {
        cursor.reset();
        onRow = false;
        read = ReadState{};
    }
    const std::vector<ResultColumn>* columns() const
    {
        if (cursor) return &cursor->columns();
        if (described) return &*described;
        return nullptr;
    }
};

// Every handle we gave out, so a stale or foreign pointer is answered with SQL_INVALID_HANDLE.
std::mutex registryMutex;
std::unordered_set<const void*> registry;

void remember(Handle* h)
{
    std::lock_guard lock(registryMutex);
    registry.insert(h);
}
void forget(Handle* h)
{
    std::lock_guard lock(registryMutex);
    registry.erase(h);
}

template <typename T>
T* lookup(SQLHANDLE h, HandleKind kind)
{
    if (!h) return nullptr;
    std::lock_guard lock(registryMutex);
    if (!registry.count(h)) return nullptr;
    auto* base = static_cast<Handle*>(h);
    return base->kind == kind ? static_cast<T*>(base) : nullptr;
}

// Runs the body of an entry point, turning exceptions into diagnostic records.
SQLRETURN guarded(Handle* h, const std::function<SQLRETURN()>& body)
{
    try {
        return body();
    } catch (const DbError& e) {
        h->add(e.sqlstate, e.native, e.what());
    } catch (const std::bad_alloc&) {
        h->add("HY001", 0, "Memory allocation error");
    } catch (const std::exception& e) {
        h->add("HY000", 0, e.what());
    }
    return SQL_ERROR;
}

// Copies a string result with ODBC truncation rules; the length written is the full length.
template <typename LengthT>
SQLRETURN copyString(Handle* h, std::string_view value, const TextBuffer& out, LengthT* length)
{
    const TextWritten w = writeText(value, out);
    if (length) *length = LengthT(w.length);
    if (!w.truncated) return SQL_SUCCESS;
    h->add("01004", 0, "String data, right truncated");
    return SQL_SUCCESS_WITH_INFO;
}

// ------------------------------------------------------------------------------------------
// Data conversion for SQLGetData and bound columns

SQLSMALLINT defaultCType(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Boolean: return SQL_C_BIT;
    case Kind::Raw: case Kind::Blob: case Kind::LongRaw: return SQL_C_BINARY;
    case Kind::NVarchar2: case Kind::NChar: case Kind::NClob: return SQL_C_WCHAR;
    case Kind::Float: case Kind::BinaryDouble: return SQL_C_DOUBLE;
    case Kind::BinaryFloat: return SQL_C_FLOAT;
    case Kind::Date: case Kind::Timestamp: return SQL_C_TYPE_TIMESTAMP;
    default: return SQL_C_CHAR;
    }
}

// Writes a fixed-size value (numbers, bit, timestamp structs).
template <typename T>
SQLRETURN putFixed(ReadState& rs, SQLPOINTER target, SQLLEN* indicator, const T& v, SQLRETURN rc = SQL_SUCCESS)
{
    if (target) std::memcpy(target, &v, sizeof v);
    if (indicator) *indicator = sizeof v;
    rs.finished = true;
    return rc;
}

SQLRETURN readValue(Stmt* s, int column, SQLSMALLINT ctype, SQLPOINTER target, SQLLEN capacity, SQLLEN* indicator,
                    ReadState& rs)
{
    const ResultColumn& col = s->cursor->columns()[size_t(column - 1)];
    const Value& v = s->cursor->row()[size_t(column - 1)];
    if (ctype == SQL_C_DEFAULT) ctype = defaultCType(col.type);
    if (rs.column != column || rs.ctype != ctype) {
        rs = ReadState{};
        rs.column = column;
        rs.ctype = ctype;
    }
    if (rs.finished) return SQL_NO_DATA;
    if (v.null) {
        if (!indicator) return s->fail("22002", "Indicator variable required but not supplied");
        *indicator = SQL_NULL_DATA;
        rs.finished = true;
        return SQL_SUCCESS;
    }
    const bool binary = isBinary(col.type);
    switch (ctype) {
    case SQL_C_CHAR: case SQL_C_WCHAR: case SQL_C_BINARY: {
        // The common case, an ASCII text that fits, goes straight into the caller's buffer.
        if (!rs.started && ctype == SQL_C_WCHAR && !binary && target
            && SQLLEN((v.data.size() + 1) * sizeof(SQLWCHAR)) <= capacity
            && std::all_of(v.data.begin(), v.data.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            auto* out = static_cast<SQLWCHAR*>(target);
            for (size_t i = 0; i < v.data.size(); ++i) out[i] = SQLWCHAR(static_cast<unsigned char>(v.data[i]));
            out[v.data.size()] = 0;
            if (indicator) *indicator = SQLLEN(v.data.size() * sizeof(SQLWCHAR));
            rs.started = rs.finished = true;
            return SQL_SUCCESS;
        }
        if (!rs.started) {
            if (ctype == SQL_C_BINARY) rs.bytes = v.data;
            else if (ctype == SQL_C_CHAR) rs.bytes = binary ? toHex(v.data) : v.data;
            else rs.wide = utf8ToUtf16(binary ? toHex(v.data) : v.data);
            rs.started = true;
        }
        const bool wide = ctype == SQL_C_WCHAR;
        const size_t unit = wide ? sizeof(SQLWCHAR) : 1;
        const size_t total = wide ? rs.wide.size() : rs.bytes.size();
        const size_t remaining = total - rs.offset;
        if (indicator) *indicator = SQLLEN(remaining * unit);
        const size_t terminator = ctype == SQL_C_BINARY ? 0 : 1;
        if (!target || capacity <= 0) {
            if (target == nullptr && capacity > 0) return s->fail("HY009", "Invalid use of null pointer");
            if (remaining == 0) { rs.finished = true; return SQL_SUCCESS; }
            s->add("01004", 0, "String data, right truncated");
            return SQL_SUCCESS_WITH_INFO;
        }
        const size_t room = size_t(capacity) / unit;
        // Each piece fills the buffer, even between the halves of a surrogate pair: applications
        // join the pieces as they come, taking a cut piece to be the buffer's length.
        const size_t n = room > terminator ? std::min(remaining, room - terminator) : 0;
        if (wide) {
            auto* out = static_cast<SQLWCHAR*>(target);
            for (size_t i = 0; i < n; ++i) out[i] = SQLWCHAR(rs.wide[rs.offset + i]);
            if (room >= 1) out[n] = 0;
        } else {
            std::memcpy(target, rs.bytes.data() + rs.offset, n);
            if (terminator && room >= 1) static_cast<char*>(target)[n] = 0;
        }
        rs.offset += n;
        if (n < remaining) {
            s->add("01004", 0, "String data, right truncated");
            return SQL_SUCCESS_WITH_INFO;
        }
        rs.finished = true;
        return SQL_SUCCESS;
    }
    default: break;
    }

    if (binary) return s->fail("07006", "Restricted data type attribute violation");

    if (ctype == SQL_C_TYPE_TIMESTAMP || ctype == SQL_C_TIMESTAMP || ctype == SQL_C_TYPE_DATE || ctype == SQL_C_DATE
        || ctype == SQL_C_TYPE_TIME || ctype == SQL_C_TIME) {
        auto p = parseStoredDateTime(v.data);
        if (!p) return s->fail(isDateTime(col.type) ? "HY000" : "22018", "Invalid character value for the requested C type");
        if (ctype == SQL_C_TYPE_TIMESTAMP || ctype == SQL_C_TIMESTAMP) {
            SQL_TIMESTAMP_STRUCT ts{SQLSMALLINT(p->year), SQLUSMALLINT(p->month), SQLUSMALLINT(p->day),
                                    SQLUSMALLINT(p->hour), SQLUSMALLINT(p->minute), SQLUSMALLINT(p->second),
                                    SQLUINTEGER(p->nanos)};
            return putFixed(rs, target, indicator, ts);
        }
        if (ctype == SQL_C_TYPE_DATE || ctype == SQL_C_DATE) {
            SQL_DATE_STRUCT d{SQLSMALLINT(p->year), SQLUSMALLINT(p->month), SQLUSMALLINT(p->day)};
            return putFixed(rs, target, indicator, d);
        }
        SQL_TIME_STRUCT t{SQLUSMALLINT(p->hour), SQLUSMALLINT(p->minute), SQLUSMALLINT(p->second)};
        return putFixed(rs, target, indicator, t);
    }

    if (isDateTime(col.type)) return s->fail("07006", "Restricted data type attribute violation");

    // Numbers: the stored text is exact decimal; booleans are "1"/"0".
    std::string numberText;
    try {
        numberText = canonicalNumber(v.data);
    } catch (const DbError&) {
        return s->fail("22018", "Invalid character value for the requested C type");
    }
    if (ctype == SQL_C_DOUBLE) return putFixed(rs, target, indicator, std::strtod(numberText.c_str(), nullptr));
    if (ctype == SQL_C_FLOAT) return putFixed(rs, target, indicator, std::strtof(numberText.c_str(), nullptr));

    const size_t point = numberText.find('.');
    const bool fraction = point != std::string::npos;
    const std::string whole = numberText.substr(0, point);
    errno = 0;
    const long long value = std::strtoll(whole.c_str(), nullptr, 10);
    const bool overflow = errno == ERANGE;
    auto integral = [&](auto typed, long long lo, unsigned long long hi) -> SQLRETURN {
        if (overflow || value < lo || (value > 0 && static_cast<unsigned long long>(value) > hi))
            return s->fail("22003", "Numeric value out of range");
        typed = static_cast<decltype(typed)>(value);
        SQLRETURN rc = SQL_SUCCESS;
        if (fraction) {
            s->add("01S07", 0, "Fractional truncation");
            rc = SQL_SUCCESS_WITH_INFO;
        }
        return putFixed(rs, target, indicator, typed, rc);
    };
    switch (ctype) {
    case SQL_C_BIT: return integral(SQLCHAR(0), 0, 1);
    case SQL_C_STINYINT: case SQL_C_TINYINT: return integral(SQLSCHAR(0), -128, 127);
    case SQL_C_UTINYINT: return integral(SQLCHAR(0), 0, 255);
    case SQL_C_SSHORT: case SQL_C_SHORT: return integral(SQLSMALLINT(0), -32768, 32767);
    case SQL_C_USHORT: return integral(SQLUSMALLINT(0), 0, 65535);
    case SQL_C_SLONG: case SQL_C_LONG: return integral(SQLINTEGER(0), -2147483648LL, 2147483647ULL);
    case SQL_C_ULONG: return integral(SQLUINTEGER(0), 0, 4294967295ULL);
    case SQL_C_SBIGINT: return integral(SQLBIGINT(0), LLONG_MIN, LLONG_MAX);
    case SQL_C_UBIGINT: return integral(SQLUBIGINT(0), 0, LLONG_MAX);
    default: break;
    }
    return s->fail("HYC00", "Optional feature not implemented: C data type " + std::to_string(ctype));
}

SQLRETURN combine(SQLRETURN a, SQLRETURN b)
{
    if (a == SQL_ERROR || b == SQL_ERROR) return SQL_ERROR;
    if (a == SQL_SUCCESS_WITH_INFO || b == SQL_SUCCESS_WITH_INFO) return SQL_SUCCESS_WITH_INFO;
    return SQL_SUCCESS;
}

SQLRETURN fetch(Stmt* s)
{
    if (!s->cursor) return s->fail("24000", "Invalid cursor state");
    s->read = ReadState{};
    if (!s->cursor->next()) {
        s->onRow = false;
        return SQL_NO_DATA;
    }
    s->onRow = true;
    SQLRETURN rc = SQL_SUCCESS;
    const int count = int(s->cursor->columns().size());
    for (auto& [column, b] : s->bindings) {
        if (column < 1 || column > count) continue;
        ReadState rs;
        rc = combine(rc, readValue(s, column, b.ctype, b.target, b.length, b.indicator, rs));
    }
    return rc;
}

// ------------------------------------------------------------------------------------------
// Connecting

std::string profileString(const std::string& section, const char* key, const char* file)
{
    char buf[4096] = {};
    const int n = SQLGetPrivateProfileString(section.c_str(), key, "", buf, sizeof buf, file);
    return n > 0 ? std::string(buf, strnlen(buf, sizeof buf)) : std::string();
}

// Reads KEY from [SECTION] of an ini file (names compared without case); empty if absent.
std::string iniValue(const std::string& path, const std::string& section, const std::string& key)
{
    std::ifstream in(path);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        const std::string t = trim(line);
        if (t.empty() || t[0] == '#' || t[0] == ';') continue;
        if (t.front() == '[') {
            inSection = t.back() == ']' && iequals(trim(t.substr(1, t.size() - 2)), section);
            continue;
        }
        const size_t eq = t.find('=');
        if (inSection && eq != std::string::npos && iequals(trim(t.substr(0, eq)), key)) return trim(t.substr(eq + 1));
    }
    return {};
}

// A key of the driver's own section in odbcinst.ini (the section of the name it was called by, else
// Microsoft's); empty if absent.
std::string driverSetting(const std::string& driverName, const char* key)
{
    std::string value;
    // libodbcinst caches ini contents per process, so a process that points ODBCSYSINI at another
    // folder (one test fixture after another) would keep seeing the first DataDir. Read the
    // current file ourselves first.
    if (const char* sysini = std::getenv("ODBCSYSINI"); sysini && *sysini) {
        const std::string path = std::string(sysini) + "/odbcinst.ini";
        if (!driverName.empty()) value = iniValue(path, driverName, key);
        if (value.empty()) value = iniValue(path, driverSection, key);
    }
    if (value.empty() && !driverName.empty()) value = profileString(driverName, key, "odbcinst.ini");
    if (value.empty()) value = profileString(driverSection, key, "odbcinst.ini");
    return value;
}

std::string dataDirFor(const std::string& driverName)
{
    const std::string dir = driverSetting(driverName, "DataDir");
    if (dir.empty())
        throw DbError("08001", 0,
                      "No data folder: the driver's section in odbcinst.ini needs DataDir=<folder> (see devdb-tool init)");
    return dir;
}

// With DIR/connections present, every connection string the driver is given is appended to it,
// one a line, as it came: tests see what the program sent, driver name and keywords included.
void traceConnection(const std::string& driverName, const std::string& text)
{
    const std::string dir = driverSetting(driverName, "DataDir");
    if (dir.empty() || !markerSet(dir, "connections")) return;
    std::ofstream(markerPath(dir, "connections"), std::ios::app) << text << "\n";
}

SQLRETURN connect(Dbc* d, const std::string& driverName, const std::string& server, const std::string& user,
                  const std::string& password)
{
    if (d->session) return d->fail("08002", "Connection name in use");
    d->session = Session::connect(dataDirFor(driverName), server, user, password);
    return SQL_SUCCESS;
}

Stmt* newStatement(Dbc* d)
{
    auto* s = new Stmt();
    s->dbc = d;
    d->statements.insert(s);
    remember(s);
    return s;
}

void freeStatement(Stmt* s)
{
    forget(s);
    s->dbc->statements.erase(s);
    delete s;
}

// Runs the statement text held by s.
SQLRETURN execute(Stmt* s)
{
    if (s->cursor) return s->fail("24000", "Invalid cursor state");
    if (!s->dbc->session) return s->fail("08003", "Connection not open");
    s->rowCount = -1;
    s->read = ReadState{};
    s->described.reset();
    ExecResult r = s->dbc->session->execute(s->sql);
    s->executed = true;
    s->cursor = std::move(r.cursor);
    if (!s->cursor) s->rowCount = SQLLEN(r.rowCount);
    return SQL_SUCCESS;
}

// ------------------------------------------------------------------------------------------
// SQLGetInfo answers

struct InfoValue {
    enum { Str, U16, U32 } type;
    std::string text;
    SQLUINTEGER number = 0;
};

std::optional<InfoValue> infoValue(Dbc* d, SQLUSMALLINT type)
{
    auto str = [](std::string s) { return InfoValue{InfoValue::Str, std::move(s), 0}; };
    auto u16 = [](SQLUINTEGER v) { return InfoValue{InfoValue::U16, {}, v}; };
    auto u32 = [](SQLUINTEGER v) { return InfoValue{InfoValue::U32, {}, v}; };
    const std::string sid = d->session ? d->session->sid() : "";
    const std::string user = d->session ? d->session->user() : "";
    switch (type) {
    case SQL_DBMS_NAME: return str("Oracle");
    case SQL_DBMS_VER: return str("23.00.0000");
    case SQL_DRIVER_NAME: return str("libdevdbodbc.so");
    case SQL_DRIVER_VER: return str("01.00.0000");
    case SQL_DRIVER_ODBC_VER: return str("03.51");
    case SQL_DATA_SOURCE_NAME: return str("");
    case SQL_SERVER_NAME: case SQL_DATABASE_NAME: return str(sid);
    case SQL_USER_NAME: return str(user);
    case SQL_IDENTIFIER_QUOTE_CHAR: return str("\"");
    case SQL_SEARCH_PATTERN_ESCAPE: return str("\\");
    case SQL_CATALOG_NAME_SEPARATOR: case SQL_CATALOG_TERM: case SQL_KEYWORDS: case SQL_COLLATION_SEQ: return str("");
    case SQL_SCHEMA_TERM: return str("Owner");
    case SQL_TABLE_TERM: return str("Table");
    case SQL_PROCEDURE_TERM: return str("Procedure");
    case SQL_SPECIAL_CHARACTERS: return str("$#");
    case SQL_XOPEN_CLI_YEAR: return str("1995");
    case SQL_NEED_LONG_DATA_LEN: case SQL_ACCESSIBLE_TABLES: case SQL_ACCESSIBLE_PROCEDURES:
    case SQL_DATA_SOURCE_READ_ONLY: case SQL_EXPRESSIONS_IN_ORDERBY: case SQL_MULT_RESULT_SETS:
    case SQL_OUTER_JOINS: case SQL_PROCEDURES: case SQL_ROW_UPDATES: case SQL_COLUMN_ALIAS:
    case SQL_DESCRIBE_PARAMETER: case SQL_CATALOG_NAME: case SQL_INTEGRITY: case SQL_LIKE_ESCAPE_CLAUSE:
    case SQL_ORDER_BY_COLUMNS_IN_SELECT:
        return str("N");
    case SQL_MULTIPLE_ACTIVE_TXN: case SQL_MAX_ROW_SIZE_INCLUDES_LONG: return str("Y");

    case SQL_MAX_DRIVER_CONNECTIONS: case SQL_MAX_CONCURRENT_ACTIVITIES: case SQL_MAX_CATALOG_NAME_LEN:
    case SQL_MAX_COLUMNS_IN_ORDER_BY: case SQL_MAX_COLUMNS_IN_GROUP_BY: case SQL_MAX_PROCEDURE_NAME_LEN:
    case SQL_CATALOG_LOCATION: case SQL_ACTIVE_ENVIRONMENTS:
        return u16(0);
    case SQL_TXN_CAPABLE: return u16(SQL_TC_DDL_COMMIT);
    case SQL_CURSOR_COMMIT_BEHAVIOR: case SQL_CURSOR_ROLLBACK_BEHAVIOR: return u16(SQL_CB_PRESERVE);
    case SQL_IDENTIFIER_CASE: return u16(SQL_IC_UPPER);
    case SQL_QUOTED_IDENTIFIER_CASE: return u16(SQL_IC_SENSITIVE);
    case SQL_MAX_COLUMN_NAME_LEN: case SQL_MAX_TABLE_NAME_LEN: case SQL_MAX_SCHEMA_NAME_LEN:
    case SQL_MAX_IDENTIFIER_LEN: case SQL_MAX_USER_NAME_LEN:
        return u16(128);
    case SQL_MAX_COLUMNS_IN_TABLE: case SQL_MAX_COLUMNS_IN_SELECT: return u16(1000);
    case SQL_MAX_COLUMNS_IN_INDEX: return u16(32);
    case SQL_MAX_TABLES_IN_SELECT: return u16(1);
    case SQL_MAX_CURSOR_NAME_LEN: return u16(18);
    case SQL_NULL_COLLATION: return u16(SQL_NC_HIGH);
    case SQL_CONCAT_NULL_BEHAVIOR: return u16(SQL_CB_NON_NULL);
    case SQL_CORRELATION_NAME: return u16(SQL_CN_NONE);
    case SQL_NON_NULLABLE_COLUMNS: return u16(SQL_NNC_NON_NULL);
    case SQL_FILE_USAGE: return u16(SQL_FILE_NOT_SUPPORTED);
    case SQL_GROUP_BY: return u16(SQL_GB_NOT_SUPPORTED);
    case SQL_ODBC_API_CONFORMANCE: return u16(SQL_OAC_LEVEL1);
    case SQL_ODBC_SQL_CONFORMANCE: return u16(SQL_OSC_MINIMUM);

    case SQL_GETDATA_EXTENSIONS: return u32(SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND);
    case SQL_SCROLL_OPTIONS: return u32(SQL_SO_FORWARD_ONLY);
    case SQL_TXN_ISOLATION_OPTION: case SQL_DEFAULT_TXN_ISOLATION: return u32(SQL_TXN_READ_COMMITTED);
    case SQL_ASYNC_MODE: return u32(SQL_AM_NONE);
    case SQL_ODBC_INTERFACE_CONFORMANCE: return u32(SQL_OIC_CORE);
    case SQL_SQL_CONFORMANCE: return u32(SQL_SC_SQL92_ENTRY);
    case SQL_SCROLL_CONCURRENCY: return u32(SQL_SCCO_READ_ONLY);
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1: return u32(SQL_CA1_NEXT);
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2: return u32(SQL_CA2_READ_ONLY_CONCURRENCY);
    case SQL_FETCH_DIRECTION: return u32(SQL_FD_FETCH_NEXT);
    case SQL_PARAM_ARRAY_ROW_COUNTS: return u32(SQL_PARC_NO_BATCH);
    case SQL_PARAM_ARRAY_SELECTS: return u32(SQL_PAS_NO_SELECT);
    case SQL_SCHEMA_USAGE: return u32(SQL_SU_DML_STATEMENTS | SQL_SU_TABLE_DEFINITION);
    case SQL_CREATE_TABLE: return u32(SQL_CT_CREATE_TABLE | SQL_CT_COLUMN_CONSTRAINT | SQL_CT_TABLE_CONSTRAINT);
    case SQL_DROP_TABLE: return u32(SQL_DT_DROP_TABLE);
    case SQL_INSERT_STATEMENT: return u32(SQL_IS_INSERT_LITERALS);
    case SQL_AGGREGATE_FUNCTIONS: return u32(SQL_AF_COUNT);
    case SQL_MAX_STATEMENT_LEN: case SQL_MAX_ROW_SIZE: case SQL_MAX_CHAR_LITERAL_LEN: case SQL_MAX_BINARY_LITERAL_LEN:
    case SQL_MAX_INDEX_SIZE: case SQL_BOOKMARK_PERSISTENCE: case SQL_STATIC_SENSITIVITY: case SQL_LOCK_TYPES:
    case SQL_POS_OPERATIONS: case SQL_POSITIONED_STATEMENTS: case SQL_STATIC_CURSOR_ATTRIBUTES1:
    case SQL_STATIC_CURSOR_ATTRIBUTES2: case SQL_DYNAMIC_CURSOR_ATTRIBUTES1: case SQL_DYNAMIC_CURSOR_ATTRIBUTES2:
    case SQL_KEYSET_CURSOR_ATTRIBUTES1: case SQL_KEYSET_CURSOR_ATTRIBUTES2: case SQL_NUMERIC_FUNCTIONS:
    case SQL_STRING_FUNCTIONS: case SQL_SYSTEM_FUNCTIONS: case SQL_TIMEDATE_FUNCTIONS: case SQL_OJ_CAPABILITIES:
    case SQL_BATCH_SUPPORT: case SQL_BATCH_ROW_COUNT: case SQL_CATALOG_USAGE: case SQL_SUBQUERIES: case SQL_UNION:
    case SQL_ALTER_TABLE: case SQL_DATETIME_LITERALS: case SQL_TIMEDATE_ADD_INTERVALS: case SQL_TIMEDATE_DIFF_INTERVALS:
    case SQL_CONVERT_FUNCTIONS: case SQL_MAX_ASYNC_CONCURRENT_STATEMENTS: case SQL_CURSOR_SENSITIVITY:
    case SQL_SQL92_PREDICATES: case SQL_SQL92_RELATIONAL_JOIN_OPERATORS: case SQL_SQL92_VALUE_EXPRESSIONS:
    case SQL_SQL92_STRING_FUNCTIONS: case SQL_SQL92_NUMERIC_VALUE_FUNCTIONS: case SQL_SQL92_DATETIME_FUNCTIONS:
    case SQL_SQL92_FOREIGN_KEY_DELETE_RULE: case SQL_SQL92_FOREIGN_KEY_UPDATE_RULE: case SQL_SQL92_GRANT:
    case SQL_SQL92_REVOKE: case SQL_SQL92_ROW_VALUE_CONSTRUCTOR: case SQL_STANDARD_CLI_CONFORMANCE:
    case SQL_INDEX_KEYWORDS: case SQL_INFO_SCHEMA_VIEWS: case SQL_DDL_INDEX: case SQL_DROP_VIEW: case SQL_CREATE_VIEW:
    case SQL_CREATE_SCHEMA: case SQL_DROP_SCHEMA: case SQL_CREATE_ASSERTION: case SQL_DROP_ASSERTION:
    case SQL_CREATE_CHARACTER_SET: case SQL_DROP_CHARACTER_SET: case SQL_CREATE_COLLATION: case SQL_DROP_COLLATION:
    case SQL_CREATE_DOMAIN: case SQL_DROP_DOMAIN: case SQL_CREATE_TRANSLATION: case SQL_DROP_TRANSLATION:
    case SQL_ALTER_DOMAIN:
        return u32(0);
    default:
        if (type >= SQL_CONVERT_BIGINT && type <= SQL_CONVERT_VARCHAR) return u32(0);
        return std::nullopt;
    }
}

// ------------------------------------------------------------------------------------------
// Diagnostics

Handle* diagHandle(SQLSMALLINT type, SQLHANDLE h)
{
    switch (type) {
    case SQL_HANDLE_ENV: return lookup<Env>(h, HandleKind::Env);
    case SQL_HANDLE_DBC: return lookup<Dbc>(h, HandleKind::Dbc);
    case SQL_HANDLE_STMT: return lookup<Stmt>(h, HandleKind::Stmt);
    default: return nullptr;
    }
}

} // namespace
} // namespace devdb

using namespace devdb;

#define DEVDB_ENTRY extern "C" SQLRETURN SQL_API

#define STMT_OR_INVALID(var, handle)                                                                                   \
    Stmt* var = lookup<Stmt>(handle, HandleKind::Stmt);                                                                \
    if (!var) return SQL_INVALID_HANDLE;                                                                               \
    var->clearDiags()

#define DBC_OR_INVALID(var, handle)                                                                                    \
    Dbc* var = lookup<Dbc>(handle, HandleKind::Dbc);                                                                   \
    if (!var) return SQL_INVALID_HANDLE;                                                                               \
    var->clearDiags()

DEVDB_ENTRY SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output)
{
    if (!output) return SQL_ERROR;
    *output = SQL_NULL_HANDLE;
    try {
        switch (type) {
        case SQL_HANDLE_ENV: {
            auto* e = new Env();
            remember(e);
            *output = e;
            return SQL_SUCCESS;
        }
        case SQL_HANDLE_DBC: {
            Env* e = lookup<Env>(input, HandleKind::Env);
            if (!e) return SQL_INVALID_HANDLE;
            e->clearDiags();
            auto* d = new Dbc();
            d->env = e;
            e->connections.insert(d);
            remember(d);
            *output = d;
            return SQL_SUCCESS;
        }
        case SQL_HANDLE_STMT: {
            DBC_OR_INVALID(d, input);
            if (!d->session) return d->fail("08003", "Connection not open");
            *output = newStatement(d);
            return SQL_SUCCESS;
        }
        default: {
            Handle* h = diagHandle(SQL_HANDLE_DBC, input);
            if (h) return h->fail("HYC00", "Optional feature not implemented");
            return SQL_ERROR;
        }
        }
    } catch (const std::bad_alloc&) {
        return SQL_ERROR;
    }
}

DEVDB_ENTRY SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle)
{
    switch (type) {
    case SQL_HANDLE_ENV: {
        Env* e = lookup<Env>(handle, HandleKind::Env);
        if (!e) return SQL_INVALID_HANDLE;
        if (!e->connections.empty()) return e->fail("HY010", "Function sequence error");
        forget(e);
        delete e;
        return SQL_SUCCESS;
    }
    case SQL_HANDLE_DBC: {
        DBC_OR_INVALID(d, handle);
        if (d->session) return d->fail("HY010", "Function sequence error");
        while (!d->statements.empty()) freeStatement(*d->statements.begin());
        d->env->connections.erase(d);
        forget(d);
        delete d;
        return SQL_SUCCESS;
    }
    case SQL_HANDLE_STMT: {
        STMT_OR_INVALID(s, handle);
        freeStatement(s);
        return SQL_SUCCESS;
    }
    default: return SQL_ERROR;
    }
}

DEVDB_ENTRY SQLFreeStmt(SQLHSTMT handle, SQLUSMALLINT option)
{
    STMT_OR_INVALID(s, handle);
    switch (option) {
    case SQL_CLOSE: s->closeCursor(); return SQL_SUCCESS;
    case SQL_DROP: freeStatement(s); return SQL_SUCCESS;
    case SQL_UNBIND: s->bindings.clear(); return SQL_SUCCESS;
    case SQL_RESET_PARAMS: return SQL_SUCCESS;
    default: return s->fail("HY092", "Invalid attribute/option identifier");
    }
}

DEVDB_ENTRY SQLSetEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER)
{
    Env* e = lookup<Env>(handle, HandleKind::Env);
    if (!e) return SQL_INVALID_HANDLE;
    e->clearDiags();
    if (attribute == SQL_ATTR_ODBC_VERSION) e->odbcVersion = SQLINTEGER(reinterpret_cast<intptr_t>(value));
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLGetEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER, SQLINTEGER* length)
{
    Env* e = lookup<Env>(handle, HandleKind::Env);
    if (!e) return SQL_INVALID_HANDLE;
    e->clearDiags();
    SQLINTEGER v = 0;
    switch (attribute) {
    case SQL_ATTR_ODBC_VERSION: v = e->odbcVersion; break;
    case SQL_ATTR_OUTPUT_NTS: v = SQL_TRUE; break;
    case SQL_ATTR_CONNECTION_POOLING: v = SQL_CP_OFF; break;
    case SQL_ATTR_CP_MATCH: v = SQL_CP_STRICT_MATCH; break;
    default: return e->fail("HY092", "Invalid attribute/option identifier");
    }
    if (value) std::memcpy(value, &v, sizeof v);
    if (length) *length = sizeof v;
    return SQL_SUCCESS;
}

// The string attributes (catalog, trace file, translation library) are accepted and ignored,
// so the A and W forms are the same.
DEVDB_ENTRY SQLSetConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER)
{
    DBC_OR_INVALID(d, handle);
    switch (attribute) {
    case SQL_ATTR_CURRENT_CATALOG: case SQL_ATTR_TRACEFILE: case SQL_ATTR_TRANSLATE_LIB: return SQL_SUCCESS;
    default: d->attributes[attribute] = SQLULEN(reinterpret_cast<uintptr_t>(value)); return SQL_SUCCESS;
    }
}

DEVDB_ENTRY SQLSetConnectAttrW(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length)
{
    return SQLSetConnectAttr(handle, attribute, value, length);
}

namespace {
SQLRETURN getConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER capacity,
                         SQLINTEGER* length, bool wide)
{
    DBC_OR_INVALID(d, handle);
    switch (attribute) {
    // The string attributes are accepted and forgotten: they read back empty, within the buffer.
    case SQL_ATTR_CURRENT_CATALOG: case SQL_ATTR_TRACEFILE: case SQL_ATTR_TRANSLATE_LIB:
        return copyString(d, "", byteBuffer(value, capacity, wide), length);
    default: break;
    }
    auto stored = d->attributes.find(attribute);
    SQLULEN v = 0;
    switch (attribute) {
    case SQL_ATTR_CONNECTION_DEAD: v = (!d->session || d->session->lost()) ? SQL_CD_TRUE : SQL_CD_FALSE; break;
    case SQL_ATTR_AUTOCOMMIT: v = stored != d->attributes.end() ? stored->second : SQL_AUTOCOMMIT_ON; break;
    case SQL_ATTR_ACCESS_MODE: v = SQL_MODE_READ_WRITE; break;
    case SQL_ATTR_TXN_ISOLATION: v = SQL_TXN_READ_COMMITTED; break;
    default: v = stored != d->attributes.end() ? stored->second : 0; break;
    }
    // Most integer attributes are 32 bits; these few are as wide as a pointer.
    const bool wideValue = attribute == SQL_ATTR_ODBC_CURSORS || attribute == SQL_ATTR_QUIET_MODE;
    if (wideValue) {
        if (value) std::memcpy(value, &v, sizeof v);
        if (length) *length = sizeof v;
        return SQL_SUCCESS;
    }
    const auto narrow = SQLUINTEGER(v);
    if (value) std::memcpy(value, &narrow, sizeof narrow);
    if (length) *length = sizeof narrow;
    return SQL_SUCCESS;
}
} // namespace

DEVDB_ENTRY SQLGetConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER capacity,
                              SQLINTEGER* length)
{
    return getConnectAttr(handle, attribute, value, capacity, length, false);
}

DEVDB_ENTRY SQLGetConnectAttrW(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER capacity,
                               SQLINTEGER* length)
{
    return getConnectAttr(handle, attribute, value, capacity, length, true);
}

DEVDB_ENTRY SQLSetStmtAttr(SQLHSTMT handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER)
{
    STMT_OR_INVALID(s, handle);
    const auto v = SQLULEN(reinterpret_cast<uintptr_t>(value));
    if (attribute == SQL_ATTR_ROW_ARRAY_SIZE && v != 1) {
        s->add("01S02", 0, "Option value changed: only one row per fetch is supported");
        return SQL_SUCCESS_WITH_INFO;
    }
    if (attribute == SQL_ATTR_CURSOR_TYPE && v != SQL_CURSOR_FORWARD_ONLY) {
        s->add("01S02", 0, "Option value changed: cursors are forward only");
        return SQL_SUCCESS_WITH_INFO;
    }
    s->attributes[attribute] = v;
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLGetStmtAttr(SQLHSTMT handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER, SQLINTEGER* length)
{
    STMT_OR_INVALID(s, handle);
    switch (attribute) {
    case SQL_ATTR_APP_ROW_DESC: case SQL_ATTR_APP_PARAM_DESC: case SQL_ATTR_IMP_ROW_DESC: case SQL_ATTR_IMP_PARAM_DESC: {
        SQLPOINTER none = nullptr; // no descriptor objects; the driver manager copes with 0
        if (value) std::memcpy(value, &none, sizeof none);
        if (length) *length = sizeof none;
        return SQL_SUCCESS;
    }
    default: break;
    }
    auto stored = s->attributes.find(attribute);
    SQLULEN v = stored != s->attributes.end() ? stored->second : 0;
    switch (attribute) {
    case SQL_ATTR_ROW_ARRAY_SIZE: case SQL_ROWSET_SIZE: v = 1; break;
    case SQL_ATTR_CURSOR_TYPE: v = SQL_CURSOR_FORWARD_ONLY; break;
    case SQL_ATTR_CONCURRENCY: v = SQL_CONCUR_READ_ONLY; break;
    case SQL_ATTR_CURSOR_SCROLLABLE: v = SQL_NONSCROLLABLE; break;
    case SQL_ATTR_CURSOR_SENSITIVITY: v = SQL_UNSPECIFIED; break;
    default: break;
    }
    if (value) std::memcpy(value, &v, sizeof v);
    if (length) *length = sizeof v;
    return SQL_SUCCESS;
}

// No statement attribute is a string, so the W forms are the A ones.
DEVDB_ENTRY SQLSetStmtAttrW(SQLHSTMT handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length)
{
    return SQLSetStmtAttr(handle, attribute, value, length);
}

DEVDB_ENTRY SQLGetStmtAttrW(SQLHSTMT handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER capacity,
                            SQLINTEGER* length)
{
    return SQLGetStmtAttr(handle, attribute, value, capacity, length);
}

namespace {
template <typename Char>
SQLRETURN driverConnect(SQLHDBC handle, Char* in, SQLSMALLINT inLength, Char* out, SQLSMALLINT outCapacity,
                        SQLSMALLINT* outLength)
{
    DBC_OR_INVALID(d, handle);
    return guarded(d, [&] {
        const std::string text = textArgument(in, inLength);
        const ConnectionString cs = ConnectionString::parse(text);
        const std::string driverName = cs.get("DRIVER").value_or("");
        traceConnection(driverName, text);
        std::string sid;
        if (iequals(driverSetting(driverName, "DatabaseKeyword"), "DBQ")) {
            // Registered as Oracle's own driver: the database is named in DBQ= alone, by a TNS alias
            // or an Easy Connect text; Server= means nothing to it.
            const std::optional<std::string> dbq = cs.get("DBQ");
            if (!dbq || dbq->empty()) throwOra(12162, "TNS:net service name is incorrectly specified");
            sid = serviceOfConnectDescriptor(*dbq);
        } else {
            sid = cs.any({"SERVER", "DBQ"}).value_or("");
        }
        const SQLRETURN rc = connect(d, driverName, sid, cs.any({"UID", "USER ID"}).value_or(""),
                                     cs.any({"PWD", "PASSWORD"}).value_or(""));
        if (rc != SQL_SUCCESS) return rc;
        return copyString(d, text, textBuffer(out, outCapacity), outLength);
    });
}

template <typename Char>
SQLRETURN connectDsn(SQLHDBC handle, Char* dsn, SQLSMALLINT dsnLength, Char* user, SQLSMALLINT userLength,
                     Char* password, SQLSMALLINT passwordLength)
{
    DBC_OR_INVALID(d, handle);
    return guarded(d, [&] {
        // A DSN may name the SID in Server=; otherwise the DSN itself is taken as the SID.
        const std::string name = textArgument(dsn, dsnLength);
        std::string server = profileString(name, "Server", "odbc.ini");
        return connect(d, profileString(name, "Driver", "odbc.ini"), server.empty() ? name : server,
                       textArgument(user, userLength), textArgument(password, passwordLength));
    });
}

template <typename Char>
SQLRETURN prepare(SQLHSTMT handle, Char* text, SQLINTEGER length)
{
    STMT_OR_INVALID(s, handle);
    if (!text) return s->fail("HY009", "Invalid use of null pointer");
    if (s->cursor) return s->fail("24000", "Invalid cursor state");
    return guarded(s, [&] {
        s->sql = textArgument(text, length);
        s->prepared = true;
        s->executed = false;
        s->described.reset();
        s->rowCount = -1;
        return SQLRETURN(SQL_SUCCESS);
    });
}

template <typename Char>
SQLRETURN execDirect(SQLHSTMT handle, Char* text, SQLINTEGER length)
{
    STMT_OR_INVALID(s, handle);
    if (!text) return s->fail("HY009", "Invalid use of null pointer");
    if (s->cursor) return s->fail("24000", "Invalid cursor state");
    return guarded(s, [&] {
        s->sql = textArgument(text, length);
        s->prepared = false;
        return execute(s);
    });
}

template <typename Char>
SQLRETURN nativeSql(SQLHDBC handle, Char* in, SQLINTEGER inLength, Char* out, SQLINTEGER outCapacity,
                    SQLINTEGER* outLength)
{
    DBC_OR_INVALID(d, handle);
    if (!in) return d->fail("HY009", "Invalid use of null pointer");
    return guarded(d, [&] { return copyString(d, textArgument(in, inLength), textBuffer(out, outCapacity), outLength); });
}
} // namespace

DEVDB_ENTRY SQLDriverConnect(SQLHDBC handle, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
                             SQLSMALLINT outCapacity, SQLSMALLINT* outLength, SQLUSMALLINT)
{
    return driverConnect(handle, in, inLength, out, outCapacity, outLength);
}

DEVDB_ENTRY SQLDriverConnectW(SQLHDBC handle, SQLHWND, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR* out,
                              SQLSMALLINT outCapacity, SQLSMALLINT* outLength, SQLUSMALLINT)
{
    return driverConnect(handle, in, inLength, out, outCapacity, outLength);
}

DEVDB_ENTRY SQLConnect(SQLHDBC handle, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user, SQLSMALLINT userLength,
                       SQLCHAR* password, SQLSMALLINT passwordLength)
{
    return connectDsn(handle, dsn, dsnLength, user, userLength, password, passwordLength);
}

DEVDB_ENTRY SQLConnectW(SQLHDBC handle, SQLWCHAR* dsn, SQLSMALLINT dsnLength, SQLWCHAR* user, SQLSMALLINT userLength,
                        SQLWCHAR* password, SQLSMALLINT passwordLength)
{
    return connectDsn(handle, dsn, dsnLength, user, userLength, password, passwordLength);
}

DEVDB_ENTRY SQLDisconnect(SQLHDBC handle)
{
    DBC_OR_INVALID(d, handle);
    for (Stmt* s : d->statements) s->closeCursor(); // cursors must go before the database handle
    d->session.reset();
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLPrepare(SQLHSTMT handle, SQLCHAR* text, SQLINTEGER length) { return prepare(handle, text, length); }

DEVDB_ENTRY SQLPrepareW(SQLHSTMT handle, SQLWCHAR* text, SQLINTEGER length) { return prepare(handle, text, length); }

DEVDB_ENTRY SQLExecute(SQLHSTMT handle)
{
    STMT_OR_INVALID(s, handle);
    if (!s->prepared) return s->fail("HY010", "Function sequence error");
    return guarded(s, [&] { return execute(s); });
}

DEVDB_ENTRY SQLExecDirect(SQLHSTMT handle, SQLCHAR* text, SQLINTEGER length) { return execDirect(handle, text, length); }

DEVDB_ENTRY SQLExecDirectW(SQLHSTMT handle, SQLWCHAR* text, SQLINTEGER length)
{
    return execDirect(handle, text, length);
}

DEVDB_ENTRY SQLNativeSql(SQLHDBC handle, SQLCHAR* in, SQLINTEGER inLength, SQLCHAR* out, SQLINTEGER outCapacity,
                         SQLINTEGER* outLength)
{
    return nativeSql(handle, in, inLength, out, outCapacity, outLength);
}

DEVDB_ENTRY SQLNativeSqlW(SQLHDBC handle, SQLWCHAR* in, SQLINTEGER inLength, SQLWCHAR* out, SQLINTEGER outCapacity,
                          SQLINTEGER* outLength)
{
    return nativeSql(handle, in, inLength, out, outCapacity, outLength);
}

namespace {
// Columns of the open cursor, or of a prepared query that has not run yet.
const std::vector<ResultColumn>* resultColumns(Stmt* s)
{
    if (!s->cursor && s->prepared && !s->executed && !s->described && s->dbc->session)
        s->described = s->dbc->session->describe(s->sql);
    return s->columns();
}

size_t resultColumnCount(Stmt* s)
{
    const auto* cols = resultColumns(s);
    return cols ? cols->size() : 0;
}

const ResultColumn* columnAt(Stmt* s, SQLUSMALLINT number)
{
    const auto* cols = resultColumns(s);
    if (!cols) throw DbError("07005", 0, "Prepared statement is not a query");
    if (number < 1 || number > cols->size()) throw DbError("07009", 0, "Invalid descriptor index");
    return &(*cols)[number - 1];
}

// Sizes as described to the application: one character for every column when the data folder
// asks for a driver that under-reports them.
bool narrowSizes(Stmt* s) { return s->dbc->session && s->dbc->session->narrow(); }
} // namespace

DEVDB_ENTRY SQLNumResultCols(SQLHSTMT handle, SQLSMALLINT* count)
{
    STMT_OR_INVALID(s, handle);
    return guarded(s, [&] {
        const size_t n = resultColumnCount(s);
        if (count) *count = SQLSMALLINT(n);
        return SQLRETURN(SQL_SUCCESS);
    });
}

namespace {
template <typename Char>
SQLRETURN describeCol(SQLHSTMT handle, SQLUSMALLINT number, Char* name, SQLSMALLINT capacity, SQLSMALLINT* nameLength,
                      SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits, SQLSMALLINT* nullable)
{
    STMT_OR_INVALID(s, handle);
    return guarded(s, [&] {
        const ResultColumn* c = columnAt(s, number);
        if (type) *type = SQLSMALLINT(odbcType(c->type));
        if (size) *size = narrowSizes(s) ? 1 : SQLULEN(columnSize(c->type));
        if (digits) *digits = SQLSMALLINT(decimalDigits(c->type));
        if (nullable) *nullable = c->nullable ? SQL_NULLABLE : SQL_NO_NULLS;
        return copyString(s, c->name, textBuffer(name, capacity), nameLength);
    });
}

SQLRETURN colAttribute(SQLHSTMT handle, SQLUSMALLINT number, SQLUSMALLINT field, SQLPOINTER text, SQLSMALLINT capacity,
                       SQLSMALLINT* textLength, SQLLEN* numeric, bool wide)
{
    STMT_OR_INVALID(s, handle);
    const TextBuffer out = byteBuffer(text, capacity, wide);
    return guarded(s, [&]() -> SQLRETURN {
        if (field == SQL_DESC_COUNT || field == SQL_COLUMN_COUNT) {
            if (numeric) *numeric = SQLLEN(resultColumnCount(s));
            return SQLRETURN(SQL_SUCCESS);
        }
        const ResultColumn* c = columnAt(s, number);
        auto num = [&](SQLLEN v) {
            if (numeric) *numeric = v;
            return SQLRETURN(SQL_SUCCESS);
        };
        switch (field) {
        case SQL_DESC_NAME: case SQL_COLUMN_NAME: case SQL_DESC_LABEL: case SQL_DESC_BASE_COLUMN_NAME:
            return copyString(s, c->name, out, textLength);
        case SQL_DESC_TYPE_NAME: return copyString(s, dataType(c->type), out, textLength);
        case SQL_DESC_TABLE_NAME: case SQL_DESC_BASE_TABLE_NAME: case SQL_DESC_SCHEMA_NAME:
        case SQL_DESC_CATALOG_NAME: case SQL_DESC_LITERAL_PREFIX: case SQL_DESC_LITERAL_SUFFIX:
        case SQL_DESC_LOCAL_TYPE_NAME:
            return copyString(s, "", out, textLength);
        case SQL_DESC_CONCISE_TYPE: return num(odbcType(c->type));
        case SQL_DESC_TYPE: {
            const int t = odbcType(c->type);
            return num(t == SQL_TYPE_TIMESTAMP ? SQL_DATETIME : t);
        }
        case SQL_DESC_LENGTH: case SQL_COLUMN_LENGTH: case SQL_DESC_PRECISION: case SQL_COLUMN_PRECISION:
            return num(narrowSizes(s) ? 1 : SQLLEN(columnSize(c->type)));
        case SQL_DESC_SCALE: case SQL_COLUMN_SCALE: return num(decimalDigits(c->type));
        case SQL_DESC_OCTET_LENGTH: return num(narrowSizes(s) ? 1 : SQLLEN(octetLength(c->type)));
        case SQL_DESC_DISPLAY_SIZE: return num(narrowSizes(s) ? 1 : SQLLEN(displaySize(c->type)));
        case SQL_DESC_NULLABLE: case SQL_COLUMN_NULLABLE: return num(c->nullable ? SQL_NULLABLE : SQL_NO_NULLS);
        case SQL_DESC_UNSIGNED: return num(isNumeric(c->type) ? SQL_FALSE : SQL_TRUE);
        case SQL_DESC_FIXED_PREC_SCALE: case SQL_DESC_AUTO_UNIQUE_VALUE: return num(SQL_FALSE);
        case SQL_DESC_CASE_SENSITIVE: return num(isNumeric(c->type) || isDateTime(c->type) ? SQL_FALSE : SQL_TRUE);
        case SQL_DESC_SEARCHABLE: return num(SQL_PRED_BASIC);
        case SQL_DESC_UPDATABLE: return num(SQL_ATTR_READONLY);
        case SQL_DESC_NUM_PREC_RADIX: return num(isNumeric(c->type) ? 10 : 0);
        case SQL_DESC_UNNAMED: return num(SQL_NAMED);
        default: throw DbError("HY091", 0, "Invalid descriptor field identifier");
        }
    });
}
} // namespace

DEVDB_ENTRY SQLDescribeCol(SQLHSTMT handle, SQLUSMALLINT number, SQLCHAR* name, SQLSMALLINT capacity,
                           SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                           SQLSMALLINT* nullable)
{
    return describeCol(handle, number, name, capacity, nameLength, type, size, digits, nullable);
}

DEVDB_ENTRY SQLDescribeColW(SQLHSTMT handle, SQLUSMALLINT number, SQLWCHAR* name, SQLSMALLINT capacity,
                            SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                            SQLSMALLINT* nullable)
{
    return describeCol(handle, number, name, capacity, nameLength, type, size, digits, nullable);
}

DEVDB_ENTRY SQLColAttribute(SQLHSTMT handle, SQLUSMALLINT number, SQLUSMALLINT field, SQLPOINTER text,
                            SQLSMALLINT capacity, SQLSMALLINT* textLength, SQLLEN* numeric)
{
    return colAttribute(handle, number, field, text, capacity, textLength, numeric, false);
}

DEVDB_ENTRY SQLColAttributeW(SQLHSTMT handle, SQLUSMALLINT number, SQLUSMALLINT field, SQLPOINTER text,
                             SQLSMALLINT capacity, SQLSMALLINT* textLength, SQLLEN* numeric)
{
    return colAttribute(handle, number, field, text, capacity, textLength, numeric, true);
}

DEVDB_ENTRY SQLRowCount(SQLHSTMT handle, SQLLEN* count)
{
    STMT_OR_INVALID(s, handle);
    if (count) *count = s->rowCount;
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLFetch(SQLHSTMT handle)
{
    STMT_OR_INVALID(s, handle);
    return guarded(s, [&] { return fetch(s); });
}

DEVDB_ENTRY SQLFetchScroll(SQLHSTMT handle, SQLSMALLINT orientation, SQLLEN)
{
    STMT_OR_INVALID(s, handle);
    if (orientation != SQL_FETCH_NEXT) return s->fail("HY106", "Fetch type out of range");
    return guarded(s, [&] { return fetch(s); });
}

// Any column in any order, bound ones too (SQL_GD_BOUND): a bound column's value is read again
// from its start, so an application whose buffer was too short can fetch the whole of it.
DEVDB_ENTRY SQLGetData(SQLHSTMT handle, SQLUSMALLINT column, SQLSMALLINT ctype, SQLPOINTER target, SQLLEN capacity,
                       SQLLEN* indicator)
{
    STMT_OR_INVALID(s, handle);
    return guarded(s, [&] {
        if (!s->cursor || !s->onRow) return s->fail("24000", "Invalid cursor state");
        if (column < 1 || column > s->cursor->columns().size()) return s->fail("07009", "Invalid descriptor index");
        return readValue(s, column, ctype, target, capacity, indicator, s->read);
    });
}

DEVDB_ENTRY SQLBindCol(SQLHSTMT handle, SQLUSMALLINT column, SQLSMALLINT ctype, SQLPOINTER target, SQLLEN capacity,
                       SQLLEN* indicator)
{
    STMT_OR_INVALID(s, handle);
    if (column < 1) return s->fail("07009", "Invalid descriptor index");
    if (!target && !indicator) s->bindings.erase(column);
    else s->bindings[column] = Binding{ctype, target, capacity, indicator};
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLCloseCursor(SQLHSTMT handle)
{
    STMT_OR_INVALID(s, handle);
    if (!s->cursor) return s->fail("24000", "Invalid cursor state");
    s->closeCursor();
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLMoreResults(SQLHSTMT handle)
{
    STMT_OR_INVALID(s, handle);
    s->closeCursor();
    return SQL_NO_DATA;
}

DEVDB_ENTRY SQLCancel(SQLHSTMT handle)
{
    STMT_OR_INVALID(s, handle);
    return SQL_SUCCESS;
}

// Every statement commits on its own, so there is nothing to end.
DEVDB_ENTRY SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT)
{
    Handle* h = diagHandle(type, handle);
    if (!h) return SQL_INVALID_HANDLE;
    h->clearDiags();
    return SQL_SUCCESS;
}

namespace {
SQLRETURN getInfo(SQLHDBC handle, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length,
                  bool wide)
{
    DBC_OR_INVALID(d, handle);
    auto info = infoValue(d, type);
    if (!info) return d->fail("HY096", "Information type out of range");
    switch (info->type) {
    case InfoValue::Str: return copyString(d, info->text, byteBuffer(value, capacity, wide), length);
    case InfoValue::U16: {
        const SQLUSMALLINT v = SQLUSMALLINT(info->number);
        if (value) std::memcpy(value, &v, sizeof v);
        if (length) *length = sizeof v;
        return SQL_SUCCESS;
    }
    case InfoValue::U32: {
        const SQLUINTEGER v = info->number;
        if (value) std::memcpy(value, &v, sizeof v);
        if (length) *length = sizeof v;
        return SQL_SUCCESS;
    }
    }
    return SQL_ERROR;
}
} // namespace

DEVDB_ENTRY SQLGetInfo(SQLHDBC handle, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return getInfo(handle, type, value, capacity, length, false);
}

DEVDB_ENTRY SQLGetInfoW(SQLHDBC handle, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return getInfo(handle, type, value, capacity, length, true);
}

namespace {
template <typename Char>
SQLRETURN diagRecord(Handle* h, SQLSMALLINT record, Char* state, SQLINTEGER* native, Char* message,
                     SQLSMALLINT capacity, SQLSMALLINT* length)
{
    if (record < 1) return SQL_ERROR;
    if (size_t(record) > h->diags.size()) return SQL_NO_DATA;
    const Diag& d = h->diags[size_t(record - 1)];
    if (state) writeText(d.state, textBuffer(state, 6));
    if (native) *native = d.native;
    const TextWritten w = writeText(d.message, textBuffer(message, capacity));
    if (length) *length = SQLSMALLINT(w.length);
    return w.truncated ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

template <typename Char>
SQLRETURN getDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, Char* state, SQLINTEGER* native,
                     Char* message, SQLSMALLINT capacity, SQLSMALLINT* length)
{
    Handle* h = diagHandle(type, handle);
    if (!h) return SQL_INVALID_HANDLE;
    try {
        return diagRecord(h, record, state, native, message, capacity, length);
    } catch (const std::bad_alloc&) {
        return SQL_ERROR;
    }
}

SQLRETURN getDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field, SQLPOINTER info,
                       SQLSMALLINT capacity, SQLSMALLINT* length, bool wide)
{
    Handle* h = diagHandle(type, handle);
    if (!h) return SQL_INVALID_HANDLE;
    const TextBuffer out = byteBuffer(info, capacity, wide);
    auto putInt = [&](SQLINTEGER v) {
        if (info) std::memcpy(info, &v, sizeof v);
        return SQLRETURN(SQL_SUCCESS);
    };
    if (record == 0) {
        switch (field) {
        case SQL_DIAG_NUMBER: return putInt(SQLINTEGER(h->diags.size()));
        case SQL_DIAG_RETURNCODE: return SQL_SUCCESS;
        case SQL_DIAG_ROW_COUNT: {
            Stmt* s = type == SQL_HANDLE_STMT ? static_cast<Stmt*>(h) : nullptr;
            const SQLLEN v = s ? s->rowCount : 0;
            if (info) std::memcpy(info, &v, sizeof v);
            return SQL_SUCCESS;
        }
        case SQL_DIAG_CURSOR_ROW_COUNT: case SQL_DIAG_DYNAMIC_FUNCTION_CODE: return putInt(0);
        case SQL_DIAG_DYNAMIC_FUNCTION: return copyString(h, "", out, length);
        default: return SQL_ERROR;
        }
    }
    if (record < 0) return SQL_ERROR;
    if (size_t(record) > h->diags.size()) return SQL_NO_DATA;
    const Diag& d = h->diags[size_t(record - 1)];
    Handle scratch(HandleKind::Env); // truncation notes of a diagnostic call are not themselves recorded
    switch (field) {
    case SQL_DIAG_SQLSTATE: return copyString(&scratch, d.state, out, length);
    case SQL_DIAG_MESSAGE_TEXT: return copyString(&scratch, d.message, out, length);
    case SQL_DIAG_NATIVE: return putInt(d.native);
    case SQL_DIAG_CLASS_ORIGIN: case SQL_DIAG_SUBCLASS_ORIGIN:
        return copyString(&scratch, d.state.rfind("IM", 0) == 0 ? "ODBC 3.0" : "ISO 9075", out, length);
    case SQL_DIAG_CONNECTION_NAME: case SQL_DIAG_SERVER_NAME: return copyString(&scratch, "", out, length);
    case SQL_DIAG_COLUMN_NUMBER: return putInt(SQL_COLUMN_NUMBER_UNKNOWN);
    case SQL_DIAG_ROW_NUMBER: {
        const SQLLEN v = SQL_ROW_NUMBER_UNKNOWN;
        if (info) std::memcpy(info, &v, sizeof v);
        return SQL_SUCCESS;
    }
    default: return SQL_ERROR;
    }
}

// ODBC 2 style: hands out each record once, most specific handle first.
template <typename Char>
SQLRETURN error(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, Char* state, SQLINTEGER* native, Char* message,
                SQLSMALLINT capacity, SQLSMALLINT* length)
{
    Handle* h = nullptr;
    if (stmt) h = diagHandle(SQL_HANDLE_STMT, stmt);
    else if (dbc) h = diagHandle(SQL_HANDLE_DBC, dbc);
    else if (env) h = diagHandle(SQL_HANDLE_ENV, env);
    if (!h) return SQL_INVALID_HANDLE;
    if (h->diags.empty()) return SQL_NO_DATA;
    SQLRETURN rc = SQL_ERROR;
    try {
        rc = diagRecord(h, 1, state, native, message, capacity, length);
    } catch (const std::bad_alloc&) {
    }
    h->diags.erase(h->diags.begin());
    return rc;
}
} // namespace

DEVDB_ENTRY SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLCHAR* state, SQLINTEGER* native,
                          SQLCHAR* message, SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return getDiagRec(type, handle, record, state, native, message, capacity, length);
}

DEVDB_ENTRY SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLWCHAR* state, SQLINTEGER* native,
                           SQLWCHAR* message, SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return getDiagRec(type, handle, record, state, native, message, capacity, length);
}

DEVDB_ENTRY SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field, SQLPOINTER info,
                            SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return getDiagField(type, handle, record, field, info, capacity, length, false);
}

DEVDB_ENTRY SQLGetDiagFieldW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                             SQLPOINTER info, SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return getDiagField(type, handle, record, field, info, capacity, length, true);
}

DEVDB_ENTRY SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* state, SQLINTEGER* native, SQLCHAR* message,
                     SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return error(env, dbc, stmt, state, native, message, capacity, length);
}

DEVDB_ENTRY SQLErrorW(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLWCHAR* state, SQLINTEGER* native, SQLWCHAR* message,
                      SQLSMALLINT capacity, SQLSMALLINT* length)
{
    return error(env, dbc, stmt, state, native, message, capacity, length);
}
