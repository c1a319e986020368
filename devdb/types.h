#pragma once
// Oracle column types and the rules that turn SQL literals into stored values: exact decimal
// numbers, dates in Oracle's default format, hex for RAW, blank padding for CHAR, length limits.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devdb {

enum class Kind {
    Number, Float, BinaryDouble, BinaryFloat, Date, Timestamp,
    Varchar2, Char, NVarchar2, NChar, Raw, Clob, NClob, Blob, Long, LongRaw, Boolean
};

struct ColumnType {
    Kind kind = Kind::Varchar2;
    int precision = 0;        // NUMBER p (0: none), FLOAT binary precision, TIMESTAMP fraction digits
    int scale = 0;            // NUMBER s, valid when hasScale
    bool hasScale = false;    // NUMBER(p) and INTEGER have scale 0; plain NUMBER has none
    int length = 0;           // VARCHAR2/CHAR/NVARCHAR2/NCHAR/RAW as declared
    bool charSemantics = false; // VARCHAR2(n CHAR): limit in characters
    bool extended = false;    // in a database with MAX_STRING_SIZE=EXTENDED: VARCHAR2 holds up to 32767 bytes

    bool operator==(const ColumnType&) const = default;
};

// A literal as written in a statement, or a value bound to one of its parameter markers.
struct Literal {
    // Bytes: a bound binary value, kept as it came. Parameter: a marker ('?') not yet bound.
    enum class Kind { Null, String, Number, Date, Timestamp, Time, Hex, Boolean, Bytes, Parameter };
    Kind kind = Kind::Null;
    std::string text; // string content, number text, escape content, hex digits, "1"/"0", bytes
    size_t marker = 0; // Parameter: its place among the statement's markers, from 0
};

// A stored value: null, or bytes (text in UTF-8 for everything but the binary kinds).
struct Value {
    bool null = true;
    std::string data;
    static Value of(std::string s) { return Value{false, std::move(s)}; }
};

struct ColumnRef {
    std::string owner, table, column;
};

// Catalogue rendering ("NUMBER(10,2)" in our own catalogue; the dictionary columns as Oracle shows
// them for an AL32UTF8 database with an AL16UTF16 national character set).
std::string declaration(const ColumnType& t);
std::string dataType(const ColumnType& t);
int dataLength(const ColumnType& t);
int byteCap(const ColumnType& t); // most bytes a VARCHAR2 (4000, extended 32767) or CHAR (2000) value may take
// The longest length a type may declare: MAX_STRING_SIZE=EXTENDED raises VARCHAR2 and RAW to 32767
// bytes and NVARCHAR2 to 16383 characters; CHAR and NCHAR keep 2000 bytes and 1000 characters.
int longestLength(Kind kind, bool extended);
int charLength(const ColumnType& t);                 // CHAR_LENGTH: declared characters, 0 for other types
std::optional<std::string> charUsed(const ColumnType& t); // CHAR_USED: 'B' / 'C', NULL for other types
std::optional<int> dataPrecision(const ColumnType& t);
std::optional<int> dataScale(const ColumnType& t);

// How a column is described to ODBC.
int odbcType(const ColumnType& t);
int64_t columnSize(const ColumnType& t);
int decimalDigits(const ColumnType& t);
int64_t displaySize(const ColumnType& t);
int64_t octetLength(const ColumnType& t);

bool isBinary(const ColumnType& t);
bool isNumeric(const ColumnType& t);
bool isDateTime(const ColumnType& t);
bool isLong(const ColumnType& t); // LONG / LONG RAW: one per table

// Value for an INSERT into a column of type t; throws DbError with the Oracle message.
Value toStored(const ColumnType& t, const Literal& lit, const ColumnRef& where);
// Value to compare a column of type t with in a WHERE clause (no length or precision errors).
Value toComparable(const ColumnType& t, const Literal& lit);

// Exact decimal text: canonical form ("0.5", "-12", "1000") or ORA-01722 / ORA-01426.
std::string canonicalNumber(std::string_view text);
// Orders two canonical numbers; used as a collation so ORDER BY sorts numbers by value.
int compareNumbers(std::string_view a, std::string_view b);

struct DateTimeParts {
    int year = 1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    int64_t nanos = 0;
};
// Reads a stored "YYYY-MM-DD HH:MM:SS[.fff]" value.
std::optional<DateTimeParts> parseStoredDateTime(std::string_view s);

std::string toHex(std::string_view bytes);

} // namespace devdb
