#pragma once
// The driver's handles as its ODBC entry points see them: environment, connection and statement,
// each with its diagnostic records, and the registry that tells our handles from stale or foreign
// pointers. Every entry point that takes or gives text comes twice, as Oracle's own Unicode driver
// has it: the W one (UTF-16, what unixODBC passes through untouched from a Unicode application)
// and the ANSI one (UTF-8, for ANSI applications such as isql).
#include "odbc_text.h"
#include "session.h"

#include <sql.h>
#include <sqlext.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace devdb {

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

struct Dbc;
struct Stmt;

struct Env : Handle {
    Env() : Handle(HandleKind::Env) {}
    SQLINTEGER odbcVersion = SQL_OV_ODBC3;
    std::set<Dbc*> connections;
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

// An input parameter as SQLBindParameter gave it: a column-wise array of values when more than
// one row of parameters is executed at a time.
struct Parameter {
    SQLSMALLINT ctype = SQL_C_CHAR;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLPOINTER values = nullptr;
    SQLLEN capacity = 0; // bytes of one value of the array (character and binary types)
    SQLLEN* indicators = nullptr;
};

// A row whose values (some of them) come at execution, through SQLParamData and SQLPutData.
struct PendingRow {
    std::vector<int> waiting; // parameter numbers still to be sent, in order
    int current = 0;          // the one SQLPutData now adds to; 0 before the first SQLParamData
    bool null = false;
    bool started = false;
    std::string bytes;        // the pieces of the current one, joined as they came
    std::map<int, Literal> sent;
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
    std::map<int, Parameter> parameters;
    std::shared_ptr<const Prepared> parsed; // of sql, once a marker needed it
    std::optional<PendingRow> pending;      // between SQL_NEED_DATA and the last SQLParamData
    // Rows fetched since the driver last asked the server for a block of them, and their bytes.
    size_t blockRows = 0, blockBytes = 0;
    bool blockOpen = false;

    void closeCursor()
    {
        cursor.reset();
        onRow = false;
        read = ReadState{};
        blockOpen = false;
    }
    SQLULEN attribute(SQLINTEGER attribute, SQLULEN otherwise = 0) const
    {
        auto it = attributes.find(attribute);
        return it != attributes.end() ? it->second : otherwise;
    }
    const std::vector<ResultColumn>* columns() const
    {
        if (cursor) return &cursor->columns();
        if (described) return &*described;
        return nullptr;
    }
};

// Every handle we gave out, so a stale or foreign pointer is answered with SQL_INVALID_HANDLE.
void remember(Handle* h);
void forget(Handle* h);
// The handle behind h if we gave it out and it is of that kind, else nullptr.
Handle* lookupHandle(SQLHANDLE h, HandleKind kind);

template <typename T>
T* lookup(SQLHANDLE h, HandleKind kind)
{
    return static_cast<T*>(lookupHandle(h, kind));
}

// The handle of an SQL_HANDLE_* type whose records a diagnostic or transaction call means.
Handle* diagHandle(SQLSMALLINT type, SQLHANDLE h);

Stmt* newStatement(Dbc* d);
void freeStatement(Stmt* s);

// Runs the body of an entry point, turning exceptions into diagnostic records.
SQLRETURN guarded(Handle* h, const std::function<SQLRETURN()>& body);

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

} // namespace devdb

#define DEVDB_ENTRY extern "C" SQLRETURN SQL_API

// Opens an entry point on a statement or connection handle: an unknown handle is answered at
// once, a known one starts with its records cleared.
#define STMT_OR_INVALID(var, handle)                                                                                   \
    devdb::Stmt* var = devdb::lookup<devdb::Stmt>(handle, devdb::HandleKind::Stmt);                                    \
    if (!var) return SQL_INVALID_HANDLE;                                                                               \
    var->clearDiags()

#define DBC_OR_INVALID(var, handle)                                                                                    \
    devdb::Dbc* var = devdb::lookup<devdb::Dbc>(handle, devdb::HandleKind::Dbc);                                       \
    if (!var) return SQL_INVALID_HANDLE;                                                                               \
    var->clearDiags()
