#include "odbc_conversion.h"

#include "types.h"
#include "util.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace devdb {
namespace {

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

} // namespace

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

} // namespace devdb
