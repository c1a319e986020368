// Diagnostic records: how a failure inside an entry point becomes a record on its handle, and how
// the application reads the records back (SQLGetDiagRec, SQLGetDiagField, and ODBC 2's SQLError).
#include "odbc_handles.h"
#include "util.h"

#include <cstring>
#include <new>

namespace devdb {

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

} // namespace devdb

using namespace devdb;

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
