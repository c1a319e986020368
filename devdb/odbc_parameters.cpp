// Parameters: binding them, reading the bound values of each row of an array as the literals
// they stand for, values sent at execution in pieces, and executing a row or an array of rows
// with the status of each.
#include "odbc_parameters.h"

#include "util.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace devdb {
namespace {

bool isFixed(SQLSMALLINT ctype)
{
    switch (ctype) {
    case SQL_C_TYPE_TIMESTAMP: case SQL_C_TIMESTAMP: case SQL_C_TYPE_DATE: case SQL_C_DATE: case SQL_C_BIT: return true;
    default: return false;
    }
}

size_t fixedSize(SQLSMALLINT ctype)
{
    switch (ctype) {
    case SQL_C_TYPE_TIMESTAMP: case SQL_C_TIMESTAMP: return sizeof(SQL_TIMESTAMP_STRUCT);
    case SQL_C_TYPE_DATE: case SQL_C_DATE: return sizeof(SQL_DATE_STRUCT);
    default: return 1;
    }
}

bool supportedCType(SQLSMALLINT ctype)
{
    return isFixed(ctype) || ctype == SQL_C_CHAR || ctype == SQL_C_WCHAR || ctype == SQL_C_BINARY;
}

SQLSMALLINT defaultCType(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_WCHAR: case SQL_WVARCHAR: case SQL_WLONGVARCHAR: return SQL_C_WCHAR;
    case SQL_BINARY: case SQL_VARBINARY: case SQL_LONGVARBINARY: return SQL_C_BINARY;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP: return SQL_C_TYPE_TIMESTAMP;
    case SQL_TYPE_DATE: case SQL_DATE: return SQL_C_TYPE_DATE;
    case SQL_BIT: return SQL_C_BIT;
    default: return SQL_C_CHAR;
    }
}

bool atExecution(SQLLEN indicator) { return indicator == SQL_DATA_AT_EXEC || indicator <= SQL_LEN_DATA_AT_EXEC_OFFSET; }

[[noreturn]] void badLength() { throw DbError("HY090", 0, "Invalid string or buffer length"); }

// What `bytes` bytes of a value in the parameter's C type stand for: text as a string literal
// (as a {ts}/{d} escape when the client calls it a timestamp or date), bytes as themselves, a
// timestamp or date struct as its escape. Empty text is NULL, as in Oracle.
Literal literalOf(const Parameter& p, const char* data, size_t bytes)
{
    using K = Literal::Kind;
    std::string text;
    switch (p.ctype) {
    case SQL_C_WCHAR: {
        std::u16string wide(bytes / sizeof(char16_t), u'\0');
        std::memcpy(wide.data(), data, wide.size() * sizeof(char16_t));
        text = utf16ToUtf8(wide);
        break;
    }
    case SQL_C_CHAR: text.assign(data, bytes); break;
    case SQL_C_BINARY: return {K::Bytes, std::string(data, bytes), 0};
    case SQL_C_BIT: return {K::Number, data[0] ? "1" : "0", 0};
    case SQL_C_TYPE_DATE: case SQL_C_DATE: {
        if (bytes < sizeof(SQL_DATE_STRUCT)) badLength();
        SQL_DATE_STRUCT d;
        std::memcpy(&d, data, sizeof d);
        char out[32];
        std::snprintf(out, sizeof out, "%04d-%02u-%02u", int(d.year), unsigned(d.month), unsigned(d.day));
        return {K::Date, out, 0};
    }
    default: { // timestamps
        if (bytes < sizeof(SQL_TIMESTAMP_STRUCT)) badLength();
        SQL_TIMESTAMP_STRUCT t;
        std::memcpy(&t, data, sizeof t);
        if (t.fraction > 999999999) throw DbError("22008", 0, "Datetime field overflow");
        char out[48];
        int n = std::snprintf(out, sizeof out, "%04d-%02u-%02u %02u:%02u:%02u", int(t.year), unsigned(t.month),
                              unsigned(t.day), unsigned(t.hour), unsigned(t.minute), unsigned(t.second));
        if (t.fraction) { // nanoseconds, without the zeros that say nothing
            n += std::snprintf(out + n, sizeof out - size_t(n), ".%09u", unsigned(t.fraction));
            while (out[n - 1] == '0') out[--n] = 0;
        }
        return {K::Timestamp, out, 0};
    }
    }
    if (text.empty()) return {};
    switch (p.sqlType) {
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP: return {K::Timestamp, std::move(text), 0};
    case SQL_TYPE_DATE: case SQL_DATE: return {K::Date, std::move(text), 0};
    default: return {K::String, std::move(text), 0};
    }
}

// The value of row `row` of a column-wise array bound to p.
Literal boundValue(const Parameter& p, size_t row)
{
    const SQLLEN indicator = p.indicators ? p.indicators[row] : SQL_NTS;
    if (indicator == SQL_NULL_DATA) return {};
    if (!p.values) throw DbError("HY009", 0, "Invalid use of null pointer");
    const size_t element = isFixed(p.ctype) ? fixedSize(p.ctype) : size_t(std::max<SQLLEN>(p.capacity, 0));
    const char* data = static_cast<const char*>(p.values) + row * element;
    if (isFixed(p.ctype)) return literalOf(p, data, element);
    size_t bytes = 0;
    if (indicator == SQL_NTS) {
        if (p.ctype == SQL_C_BINARY) badLength();
        // Up to the terminating zero, and never past the buffer when its length is given.
        const size_t unit = p.ctype == SQL_C_WCHAR ? sizeof(SQLWCHAR) : 1;
        const size_t limit = p.capacity > 0 ? size_t(p.capacity) / unit : SIZE_MAX;
        size_t n = 0;
        if (unit == 1) {
            while (n < limit && data[n]) ++n;
        } else {
            SQLWCHAR c;
            while (n < limit && (std::memcpy(&c, data + n * unit, unit), c)) ++n;
        }
        bytes = n * unit;
    } else if (indicator < 0) {
        badLength();
    } else {
        bytes = size_t(indicator);
    }
    return literalOf(p, data, bytes);
}

size_t paramsetSize(const Stmt* s) { return size_t(std::max<SQLULEN>(s->attribute(SQL_ATTR_PARAMSET_SIZE, 1), 1)); }

// Runs rows of values and tells the application how each fared, in the status array and the
// processed count it asked for.
SQLRETURN runRows(Stmt* s, const Prepared& prepared, size_t rows, const RowValues& values)
{
    auto* status = reinterpret_cast<SQLUSMALLINT*>(s->attribute(SQL_ATTR_PARAM_STATUS_PTR));
    auto* processed = reinterpret_cast<SQLULEN*>(s->attribute(SQL_ATTR_PARAMS_PROCESSED_PTR));
    if (processed) *processed = 0;
    BoundResult r = s->dbc->session->executeBound(s->sql, prepared, rows, values);
    s->executed = true;
    if (status)
        for (size_t i = 0; i < rows; ++i)
            status[i] = i < r.done ? SQL_PARAM_SUCCESS : (i == r.done && r.error ? SQL_PARAM_ERROR : SQL_PARAM_UNUSED);
    if (processed) *processed = r.done + (r.error ? 1 : 0);
    s->cursor = std::move(r.result.cursor);
    if (!s->cursor) s->rowCount = SQLLEN(r.result.rowCount);
    if (!r.error) return SQL_SUCCESS;
    s->add(r.error->sqlstate, r.error->native, r.error->what());
    return SQL_ERROR;
}

RowValues fromBuffers(Stmt* s, const Prepared& prepared, const std::map<int, Literal>* sent = nullptr)
{
    return [s, &prepared, sent](size_t row, std::vector<Literal>& values) {
        for (size_t k = 0; k < prepared.markers.size(); ++k) {
            const int number = int(k + 1);
            auto given = sent ? sent->find(number) : std::map<int, Literal>::const_iterator{};
            values[k] = sent && given != sent->end() ? given->second : boundValue(s->parameters.at(number), row);
        }
    };
}

} // namespace

const Prepared* withMarkers(Stmt* s)
{
    if (s->sql.find('?') == std::string::npos) return nullptr;
    if (!s->parsed) {
        try {
            s->parsed = std::make_shared<const Prepared>(prepareStatement(s->sql));
        } catch (const DbError&) {
            return nullptr;
        }
    }
    return s->parsed->markers.empty() ? nullptr : s->parsed.get();
}

SQLRETURN executeBound(Stmt* s, const Prepared& prepared)
{
    for (size_t k = 1; k <= prepared.markers.size(); ++k)
        if (!s->parameters.count(int(k))) return s->fail("07002", "COUNT field incorrect");
    const size_t rows = paramsetSize(s);
    PendingRow pending;
    for (size_t row = 0; row < rows; ++row)
        for (const auto& [number, p] : s->parameters)
            if (size_t(number) <= prepared.markers.size() && p.indicators && atExecution(p.indicators[row])) {
                // Long values go one row per execute; no client of ours sends them in arrays.
                if (rows > 1)
                    return s->fail("HYC00", "Optional feature not implemented: data at execution in an array of parameters");
                pending.waiting.push_back(number);
            }
    if (!pending.waiting.empty()) {
        s->pending = std::move(pending);
        return SQL_NEED_DATA;
    }
    return runRows(s, prepared, rows, fromBuffers(s, prepared));
}

} // namespace devdb

using namespace devdb;

DEVDB_ENTRY SQLBindParameter(SQLHSTMT handle, SQLUSMALLINT number, SQLSMALLINT io, SQLSMALLINT ctype,
                             SQLSMALLINT sqlType, SQLULEN, SQLSMALLINT, SQLPOINTER values, SQLLEN capacity,
                             SQLLEN* indicators)
{
    STMT_OR_INVALID(s, handle);
    if (number < 1) return s->fail("07009", "Invalid descriptor index");
    if (io != SQL_PARAM_INPUT) return s->fail("HYC00", "Optional feature not implemented: output parameters");
    if (ctype == SQL_C_DEFAULT) ctype = defaultCType(sqlType);
    if (!supportedCType(ctype))
        return s->fail("HYC00", "Optional feature not implemented: C data type " + std::to_string(ctype));
    s->parameters[number] = Parameter{ctype, sqlType, values, capacity, indicators};
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLNumParams(SQLHSTMT handle, SQLSMALLINT* count)
{
    STMT_OR_INVALID(s, handle);
    return guarded(s, [&] {
        size_t n = 0;
        if (s->sql.find('?') != std::string::npos) {
            if (!s->parsed) s->parsed = std::make_shared<const Prepared>(prepareStatement(s->sql));
            n = s->parsed->markers.size();
        }
        if (count) *count = SQLSMALLINT(n);
        return SQLRETURN(SQL_SUCCESS);
    });
}

// Each call finishes the value being sent and asks for the next one (its token is what the
// application bound as the value pointer); after the last, the row is executed.
DEVDB_ENTRY SQLParamData(SQLHSTMT handle, SQLPOINTER* token)
{
    STMT_OR_INVALID(s, handle);
    if (!s->pending || !s->parsed) return s->fail("HY010", "Function sequence error");
    return guarded(s, [&] {
        try {
            PendingRow& row = *s->pending;
            if (row.current) {
                const Parameter& p = s->parameters.at(row.current);
                row.sent[row.current] = row.null ? Literal{} : literalOf(p, row.bytes.data(), row.bytes.size());
                row.bytes = std::string();
                row.null = row.started = false;
                row.current = 0;
            }
            if (!row.waiting.empty()) {
                row.current = row.waiting.front();
                row.waiting.erase(row.waiting.begin());
                if (token) *token = s->parameters.at(row.current).values;
                return SQLRETURN(SQL_NEED_DATA);
            }
            const PendingRow done = std::move(row);
            s->pending.reset();
            s->dbc->session->roundTrip(); // the row goes to the server now
            return runRows(s, *s->parsed, 1, fromBuffers(s, *s->parsed, &done.sent));
        } catch (...) {
            s->pending.reset();
            throw;
        }
    });
}

DEVDB_ENTRY SQLPutData(SQLHSTMT handle, SQLPOINTER data, SQLLEN length)
{
    STMT_OR_INVALID(s, handle);
    if (!s->pending || !s->pending->current) return s->fail("HY010", "Function sequence error");
    PendingRow& row = *s->pending;
    const Parameter& p = s->parameters.at(row.current);
    if (row.null) return s->fail("HY020", "Attempt to concatenate a null value");
    if (length == SQL_NULL_DATA) {
        if (row.started) return s->fail("HY020", "Attempt to concatenate a null value");
        row.null = row.started = true;
        return SQL_SUCCESS;
    }
    if (isFixed(p.ctype)) {
        if (row.started) return s->fail("HY019", "Non-character and non-binary data sent in pieces");
        length = SQLLEN(fixedSize(p.ctype));
    } else if (length == SQL_NTS && p.ctype == SQL_C_CHAR) {
        length = data ? SQLLEN(std::strlen(static_cast<const char*>(data))) : 0;
    } else if (length == SQL_NTS && p.ctype == SQL_C_WCHAR) {
        size_t n = 0;
        for (const auto* w = static_cast<const SQLWCHAR*>(data); w && w[n]; ++n) {}
        length = SQLLEN(n * sizeof(SQLWCHAR));
    } else if (length < 0) {
        return s->fail("HY090", "Invalid string or buffer length");
    }
    if (!data && length > 0) return s->fail("HY009", "Invalid use of null pointer");
    return guarded(s, [&] {
        // Pieces are joined as they come: a UTF-16 text may be cut between the halves of a pair.
        row.bytes.append(static_cast<const char*>(data), size_t(length));
        row.started = true;
        return SQLRETURN(SQL_SUCCESS);
    });
}
