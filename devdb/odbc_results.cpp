// A statement's results: the columns it describes (before or after it runs), fetching its rows
// into bound columns, and reading values with SQLGetData.
#include "odbc_conversion.h"

#include "types.h"
#include "util.h"

namespace devdb {
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

SQLRETURN combine(SQLRETURN a, SQLRETURN b)
{
    if (a == SQL_ERROR || b == SQL_ERROR) return SQL_ERROR;
    if (a == SQL_SUCCESS_WITH_INFO || b == SQL_SUCCESS_WITH_INFO) return SQL_SUCCESS_WITH_INFO;
    return SQL_SUCCESS;
}

// Oracle's driver fetches rows ahead, a block at a time: up to 100 rows or 64,000 bytes of them,
// whichever comes first. Each block costs a round trip.
constexpr size_t prefetchRows = 100, prefetchBytes = 64000;

void fetchBlock(Stmt* s)
{
    const Session* session = s->dbc->session.get();
    if (!session || !session->hasLatency() || s->blockOpen) return;
    session->roundTrip();
    s->blockOpen = true;
    s->blockRows = s->blockBytes = 0;
}

void countFetched(Stmt* s)
{
    if (!s->blockOpen) return;
    ++s->blockRows;
    for (const Value& v : s->cursor->row()) s->blockBytes += v.data.size();
    if (s->blockRows >= prefetchRows || s->blockBytes >= prefetchBytes) s->blockOpen = false;
}

SQLRETURN fetch(Stmt* s)
{
    if (!s->cursor) return s->fail("24000", "Invalid cursor state");
    s->read = ReadState{};
    fetchBlock(s);
    if (!s->cursor->next()) {
        s->onRow = false;
        return SQL_NO_DATA;
    }
    countFetched(s);
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

} // namespace
} // namespace devdb

using namespace devdb;

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
