// A statement's life: its attributes, preparing and executing its text, the rows it changed, and
// closing its cursor.
#include "odbc_parameters.h"

#include <cstdint>
#include <cstring>

namespace devdb {
namespace {

// Runs the statement text held by s.
SQLRETURN execute(Stmt* s)
{
    if (s->cursor) return s->fail("24000", "Invalid cursor state");
    if (!s->dbc->session) return s->fail("08003", "Connection not open");
    s->rowCount = -1;
    s->read = ReadState{};
    s->described.reset();
    s->pending.reset();
    s->blockOpen = false;
    s->dbc->session->roundTrip(); // one a call, whatever the number of rows of parameters
    if (const Prepared* prepared = withMarkers(s)) return executeBound(s, *prepared);
    ExecResult r = s->dbc->session->execute(s->sql);
    s->executed = true;
    s->cursor = std::move(r.cursor);
    if (!s->cursor) s->rowCount = SQLLEN(r.rowCount);
    return SQL_SUCCESS;
}

} // namespace
} // namespace devdb

using namespace devdb;

DEVDB_ENTRY SQLFreeStmt(SQLHSTMT handle, SQLUSMALLINT option)
{
    STMT_OR_INVALID(s, handle);
    switch (option) {
    case SQL_CLOSE: s->closeCursor(); return SQL_SUCCESS;
    case SQL_DROP: freeStatement(s); return SQL_SUCCESS;
    case SQL_UNBIND: s->bindings.clear(); return SQL_SUCCESS;
    case SQL_RESET_PARAMS: s->parameters.clear(); return SQL_SUCCESS;
    default: return s->fail("HY092", "Invalid attribute/option identifier");
    }
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
    if (attribute == SQL_ATTR_PARAMSET_SIZE && v == 0) return s->fail("HY024", "Invalid attribute value");
    if (attribute == SQL_ATTR_PARAMSET_SIZE && v > 1 && s->dbc->session && s->dbc->session->arraysRefused()) {
        s->attributes[attribute] = 1; // as ODBC lets a driver do
        s->add("01S02", 0, "Option value changed: one row of parameters per execute");
        return SQL_SUCCESS_WITH_INFO;
    }
    // Parameters are read column-wise from where they were bound, one operation for every row.
    if ((attribute == SQL_ATTR_PARAM_BIND_TYPE && v != SQL_PARAM_BIND_BY_COLUMN)
        || ((attribute == SQL_ATTR_PARAM_BIND_OFFSET_PTR || attribute == SQL_ATTR_PARAM_OPERATION_PTR) && v != 0))
        return s->fail("HYC00", "Optional feature not implemented: row-wise parameters, offsets or operations");
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
    SQLULEN v = s->attribute(attribute, attribute == SQL_ATTR_PARAMSET_SIZE ? 1 : 0);
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
SQLRETURN prepare(SQLHSTMT handle, Char* text, SQLINTEGER length)
{
    STMT_OR_INVALID(s, handle);
    if (!text) return s->fail("HY009", "Invalid use of null pointer");
    if (s->cursor) return s->fail("24000", "Invalid cursor state");
    return guarded(s, [&] {
        s->sql = textArgument(text, length);
        s->parsed.reset();
        s->pending.reset();
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
        s->parsed.reset();
        s->prepared = false;
        return execute(s);
    });
}
} // namespace

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

DEVDB_ENTRY SQLRowCount(SQLHSTMT handle, SQLLEN* count)
{
    STMT_OR_INVALID(s, handle);
    if (count) *count = s->rowCount;
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
    s->pending.reset(); // a row waiting for values at execution is given up
    return SQL_SUCCESS;
}
