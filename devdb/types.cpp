#include "types.h"

#include "util.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace devdb {

// ---------------------------------------------------------------------------------------------
// Catalogue and ODBC description

int byteCap(const ColumnType& t)
{
    if (t.kind == Kind::Char) return 2000;
    return t.extended ? 32767 : 4000;
}

int longestLength(Kind kind, bool extended)
{
    switch (kind) {
    case Kind::Varchar2: return extended ? 32767 : 4000;
    case Kind::Char: return 2000;
    case Kind::NVarchar2: return extended ? 16383 : 2000;
    case Kind::NChar: return 1000;
    case Kind::Raw: return extended ? 32767 : 2000;
    default: return 0;
    }
}

std::string declaration(const ColumnType& t)
{
    auto n = [](int v) { return std::to_string(v); };
    auto sem = [&](const ColumnType& x) { return n(x.length) + (x.charSemantics ? " CHAR" : " BYTE"); };
    switch (t.kind) {
    case Kind::Number:
        if (!t.hasScale) return "NUMBER";
        return "NUMBER(" + (t.precision ? n(t.precision) : std::string("*")) + "," + n(t.scale) + ")";
    case Kind::Float: return "FLOAT(" + n(t.precision) + ")";
    case Kind::BinaryDouble: return "BINARY_DOUBLE";
    case Kind::BinaryFloat: return "BINARY_FLOAT";
    case Kind::Date: return "DATE";
    case Kind::Timestamp: return "TIMESTAMP(" + n(t.precision) + ")";
    case Kind::Varchar2: return "VARCHAR2(" + sem(t) + ")";
    case Kind::Char: return "CHAR(" + sem(t) + ")";
    case Kind::NVarchar2: return "NVARCHAR2(" + n(t.length) + ")";
    case Kind::NChar: return "NCHAR(" + n(t.length) + ")";
    case Kind::Raw: return "RAW(" + n(t.length) + ")";
    case Kind::Clob: return "CLOB";
    case Kind::NClob: return "NCLOB";
    case Kind::Blob: return "BLOB";
    case Kind::Long: return "LONG";
    case Kind::LongRaw: return "LONG RAW";
    case Kind::Boolean: return "BOOLEAN";
    }
    return "VARCHAR2";
}

std::string dataType(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Number: return "NUMBER";
    case Kind::Float: return "FLOAT";
    case Kind::Varchar2: return "VARCHAR2";
    case Kind::Char: return "CHAR";
    case Kind::NVarchar2: return "NVARCHAR2";
    case Kind::NChar: return "NCHAR";
    case Kind::Raw: return "RAW";
    default: return declaration(t);
    }
}

int dataLength(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Number: case Kind::Float: return 22;
    case Kind::BinaryDouble: return 8;
    case Kind::BinaryFloat: return 4;
    case Kind::Date: return 7;
    case Kind::Timestamp: return 11;
    case Kind::Varchar2: case Kind::Char: return t.charSemantics ? std::min(4 * t.length, byteCap(t)) : t.length;
    case Kind::NVarchar2: case Kind::NChar: return 2 * t.length;
    case Kind::Raw: return t.length;
    case Kind::Clob: case Kind::NClob: case Kind::Blob: return 4000;
    case Kind::Long: case Kind::LongRaw: return 0;
    case Kind::Boolean: return 1;
    }
    return 0;
}

int charLength(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Varchar2: case Kind::Char: case Kind::NVarchar2: case Kind::NChar: return t.length;
    default: return 0;
    }
}

std::optional<std::string> charUsed(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Varchar2: case Kind::Char: return std::string(t.charSemantics ? "C" : "B");
    case Kind::NVarchar2: case Kind::NChar: return std::string("C");
    default: return std::nullopt;
    }
}

std::optional<int> dataPrecision(const ColumnType& t)
{
    if (t.kind == Kind::Float) return t.precision;
    if (t.kind == Kind::Number && t.precision > 0) return t.precision;
    return std::nullopt;
}

std::optional<int> dataScale(const ColumnType& t)
{
    if (t.kind == Kind::Number && t.hasScale) return t.scale;
    if (t.kind == Kind::Timestamp) return t.precision;
    return std::nullopt;
}

int odbcType(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Number: return SQL_DECIMAL;
    case Kind::Float: case Kind::BinaryDouble: return SQL_DOUBLE;
    case Kind::BinaryFloat: return SQL_REAL;
    case Kind::Date: case Kind::Timestamp: return SQL_TYPE_TIMESTAMP;
    case Kind::Varchar2: return SQL_VARCHAR;
    case Kind::Char: return SQL_CHAR;
    case Kind::NVarchar2: return SQL_WVARCHAR;
    case Kind::NChar: return SQL_WCHAR;
    case Kind::Raw: return SQL_VARBINARY;
    case Kind::Clob: case Kind::Long: return SQL_LONGVARCHAR;
    case Kind::NClob: return SQL_WLONGVARCHAR;
    case Kind::Blob: case Kind::LongRaw: return SQL_LONGVARBINARY;
    case Kind::Boolean: return SQL_BIT;
    }
    return SQL_VARCHAR;
}

int64_t columnSize(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Number: return t.precision > 0 ? t.precision : 38;
    case Kind::Float: case Kind::BinaryDouble: return 15;
    case Kind::BinaryFloat: return 7;
    case Kind::Date: return 19;
    case Kind::Timestamp: return t.precision > 0 ? 20 + t.precision : 19;
    case Kind::Varchar2: case Kind::Char: case Kind::NVarchar2: case Kind::NChar: case Kind::Raw:
        return t.length;
    case Kind::Boolean: return 1;
    default: return 2147483647;
    }
}

int decimalDigits(const ColumnType& t)
{
    if (t.kind == Kind::Number && t.hasScale) return t.scale > 0 ? t.scale : 0;
    if (t.kind == Kind::Timestamp) return t.precision;
    return 0;
}

int64_t displaySize(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Number: return t.precision > 0 ? t.precision + 2 : 40;
    case Kind::Float: case Kind::BinaryDouble: case Kind::BinaryFloat: return 40;
    case Kind::Raw: return 2 * int64_t(t.length);
    default: return columnSize(t);
    }
}

int64_t octetLength(const ColumnType& t)
{
    switch (t.kind) {
    case Kind::Varchar2: case Kind::Char: case Kind::NVarchar2: case Kind::NChar: case Kind::Raw:
        return dataLength(t);
    case Kind::Number: case Kind::Float: case Kind::BinaryDouble: case Kind::BinaryFloat: return 40;
    case Kind::Date: case Kind::Timestamp: return 16;
    case Kind::Boolean: return 1;
    default: return 2147483647;
    }
}

bool isBinary(const ColumnType& t) { return t.kind == Kind::Raw || t.kind == Kind::Blob || t.kind == Kind::LongRaw; }
bool isNumeric(const ColumnType& t)
{
    return t.kind == Kind::Number || t.kind == Kind::Float || t.kind == Kind::BinaryDouble || t.kind == Kind::BinaryFloat;
}
bool isDateTime(const ColumnType& t) { return t.kind == Kind::Date || t.kind == Kind::Timestamp; }
bool isLong(const ColumnType& t) { return t.kind == Kind::Long || t.kind == Kind::LongRaw; }

// ---------------------------------------------------------------------------------------------
// Exact decimals: value = digits * 10^exp, digits without leading or trailing zeros.

namespace {

struct Decimal {
    bool neg = false;
    std::string digits; // empty means zero
    int64_t exp = 0;
    bool zero() const { return digits.empty(); }
    int64_t intDigits() const { return int64_t(digits.size()) + exp; } // position of the leading digit
};

void normalize(Decimal& d)
{
    size_t lead = d.digits.find_first_not_of('0');
    if (lead == std::string::npos) { d = Decimal{}; return; }
    d.digits.erase(0, lead);
    size_t last = d.digits.find_last_not_of('0');
    d.exp += int64_t(d.digits.size() - last - 1);
    d.digits.resize(last + 1);
}

std::optional<Decimal> parseDecimal(std::string_view s)
{
    std::string t = trim(s);
    size_t i = 0;
    Decimal d;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) { d.neg = t[i] == '-'; ++i; }
    bool any = false;
    int64_t fraction = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') { d.digits += t[i++]; any = true; }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') { d.digits += t[i++]; ++fraction; any = true; }
    }
    if (!any) return std::nullopt;
    int64_t e = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool eneg = false;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) { eneg = t[i] == '-'; ++i; }
        bool edigits = false;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            if (e < 100000000) e = e * 10 + (t[i] - '0'); // anything this large over/underflows anyway
            ++i;
            edigits = true;
        }
        if (!edigits) return std::nullopt;
        if (eneg) e = -e;
    }
    if (i != t.size()) return std::nullopt;
    d.exp = e - fraction;
    normalize(d);
    return d;
}

// Keeps the first `keep` significant digits, rounding half away from zero.
void keepDigits(Decimal& d, int64_t keep)
{
    const int64_t len = int64_t(d.digits.size());
    if (keep >= len) return;
    if (keep < 0) { d = Decimal{}; return; }
    const bool up = d.digits[size_t(keep)] >= '5';
    d.exp += len - keep;
    d.digits.resize(size_t(keep));
    if (up) {
        int64_t i = keep - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9') { d.digits[size_t(i)] = '0'; --i; }
        if (i < 0) d.digits.insert(d.digits.begin(), '1');
        else d.digits[size_t(i)]++;
    }
    const bool neg = d.neg;
    normalize(d);
    if (!d.zero()) d.neg = neg;
}

void roundToScale(Decimal& d, int scale)
{
    if (d.zero() || d.exp >= -int64_t(scale)) return;
    keepDigits(d, int64_t(d.digits.size()) + d.exp + scale);
}

std::string render(const Decimal& d)
{
    if (d.zero()) return "0";
    std::string out = d.neg ? "-" : "";
    const int64_t len = int64_t(d.digits.size());
    if (d.exp >= 0) {
        out += d.digits;
        out.append(size_t(d.exp), '0');
    } else if (len + d.exp > 0) {
        out += d.digits.substr(0, size_t(len + d.exp));
        out += '.';
        out += d.digits.substr(size_t(len + d.exp));
    } else {
        out += "0.";
        out.append(size_t(-(len + d.exp)), '0');
        out += d.digits;
    }
    return out;
}

// Oracle keeps about 38 significant digits and a magnitude below 1e126.
Decimal checkedNumber(std::string_view text)
{
    auto d = parseDecimal(text);
    if (!d) throwOra(1722, "invalid number");
    keepDigits(*d, 38);
    if (!d->zero() && d->intDigits() > 126) throwOra(1426, "numeric overflow");
    if (!d->zero() && d->intDigits() < -129) *d = Decimal{};
    return *d;
}

std::string storeNumber(const ColumnType& t, std::string_view text)
{
    Decimal d = checkedNumber(text);
    if (t.kind == Kind::Number && t.hasScale) {
        roundToScale(d, t.scale);
        const int precision = t.precision > 0 ? t.precision : 38;
        if (!d.zero() && d.intDigits() > precision - t.scale)
            throwOra(1438, "value larger than specified precision allowed for this column");
    } else if (t.kind == Kind::Float) {
        keepDigits(d, int64_t(std::ceil(t.precision * 0.30103)));
    }
    return render(d);
}

} // namespace

std::string canonicalNumber(std::string_view text) { return render(checkedNumber(text)); }

int compareNumbers(std::string_view a, std::string_view b)
{
    auto x = parseDecimal(a), y = parseDecimal(b);
    if (!x || !y) return a < b ? -1 : (a == b ? 0 : 1); // not numbers: keep a stable order
    auto sign = [](const Decimal& d) { return d.zero() ? 0 : (d.neg ? -1 : 1); };
    if (sign(*x) != sign(*y)) return sign(*x) < sign(*y) ? -1 : 1;
    if (sign(*x) == 0) return 0;
    int magnitude = 0; // compare |x| with |y|
    if (x->intDigits() != y->intDigits()) {
        magnitude = x->intDigits() < y->intDigits() ? -1 : 1;
    } else {
        int c = x->digits.compare(y->digits); // same leading position: lexicographic order is numeric
        magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return x->neg ? -magnitude : magnitude;
}

// ---------------------------------------------------------------------------------------------
// Dates and timestamps

namespace {

int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void civilFromDays(int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(int64_t(yoe) + era * 400 + (m <= 2));
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return days[m - 1];
}

void validate(const DateTimeParts& p)
{
    if (p.year < 1 || p.year > 9999) throwOra(1841, "(full) year must be between -4713 and +9999, and not be 0");
    if (p.month < 1 || p.month > 12) throwOra(1843, "not a valid month");
    if (p.day < 1 || p.day > daysInMonth(p.year, p.month))
        throwOra(1847, "day of month must be between 1 and last day of month");
    if (p.hour < 0 || p.hour > 23) throwOra(1850, "hour must be between 0 and 23");
    if (p.minute < 0 || p.minute > 59) throwOra(1851, "minutes must be between 0 and 59");
    if (p.second < 0 || p.second > 59) throwOra(1852, "seconds must be between 0 and 59");
}

[[noreturn]] void formatMismatch() { throwOra(1861, "literal does not match format string"); }

struct Scanner {
    std::string_view s;
    size_t i = 0;
    bool end() const { return i >= s.size(); }
    bool digit() const { return !end() && s[i] >= '0' && s[i] <= '9'; }
    // Reads between min and max digits.
    bool number(int minDigits, int maxDigits, int& out, int* count = nullptr)
    {
        int n = 0;
        out = 0;
        while (digit() && n < maxDigits) { out = out * 10 + (s[i++] - '0'); ++n; }
        if (count) *count = n;
        return n >= minDigits;
    }
    bool take(char c) { if (!end() && s[i] == c) { ++i; return true; } return false; }
    bool takeAny(std::string_view set) { if (!end() && set.find(s[i]) != std::string_view::npos) { ++i; return true; } return false; }
    void blanks() { while (!end() && (s[i] == ' ' || s[i] == '\t')) ++i; }
};

// Fraction digits after the '.', as nanoseconds.
int64_t readFraction(Scanner& sc)
{
    int64_t nanos = 0;
    int n = 0;
    while (sc.digit()) {
        if (n < 9) { nanos = nanos * 10 + (sc.s[sc.i] - '0'); ++n; }
        ++sc.i;
    }
    if (n == 0) formatMismatch();
    for (; n < 9; ++n) nanos *= 10;
    return nanos;
}

// ODBC escape text: {d 'YYYY-MM-DD'}, {ts 'YYYY-MM-DD HH:MM:SS[.f]'}, {t 'HH:MM:SS'}.
DateTimeParts parseEscape(Literal::Kind kind, std::string_view text)
{
    const std::string owned = trim(text);
    Scanner sc{owned};
    DateTimeParts p;
    if (kind != Literal::Kind::Time) {
        if (!sc.number(1, 4, p.year) || !sc.take('-') || !sc.number(1, 2, p.month) || !sc.take('-')
            || !sc.number(1, 2, p.day))
            formatMismatch();
        sc.blanks();
    } else {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        p.year = local.tm_year + 1900;
        p.month = local.tm_mon + 1;
        p.day = local.tm_mday;
    }
    if (kind != Literal::Kind::Date && !sc.end()) {
        if (!sc.number(1, 2, p.hour) || !sc.take(':') || !sc.number(1, 2, p.minute) || !sc.take(':')
            || !sc.number(1, 2, p.second))
            formatMismatch();
        if (sc.take('.')) p.nanos = readFraction(sc);
    }
    sc.blanks();
    if (!sc.end()) formatMismatch();
    validate(p);
    return p;
}

int rrYear(int yy)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = local.tm_year + 1900;
    const int century = year / 100 * 100, current = year % 100;
    if (current < 50) return yy < 50 ? century + yy : century - 100 + yy;
    return yy < 50 ? century + 100 + yy : century + yy;
}

// Oracle's default formats: DD-MON-RR for DATE, 'DD-MON-RR HH.MI.SSXFF AM' for TIMESTAMP.
DateTimeParts parseOracleText(std::string_view text, bool withTime)
{
    static const char* months[] = {"JANUARY", "FEBRUARY", "MARCH", "APRIL", "MAY", "JUNE", "JULY",
                                   "AUGUST", "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
    std::string owned = upperAscii(trim(text));
    Scanner sc{owned};
    DateTimeParts p;
    const std::string_view seps = "-/. ";
    if (!sc.number(1, 2, p.day) || !sc.takeAny(seps)) formatMismatch();
    size_t start = sc.i;
    while (!sc.end() && sc.s[sc.i] >= 'A' && sc.s[sc.i] <= 'Z') ++sc.i;
    std::string_view name = sc.s.substr(start, sc.i - start);
    if (name.empty()) formatMismatch();
    p.month = 0;
    for (int m = 0; m < 12; ++m) {
        std::string_view full = months[m];
        if (name == full || (name.size() == 3 && full.substr(0, 3) == name)) p.month = m + 1;
    }
    if (!p.month) throwOra(1843, "not a valid month");
    int digits = 0;
    if (!sc.takeAny(seps) || !sc.number(1, 4, p.year, &digits)) formatMismatch();
    if (digits <= 2) p.year = rrYear(p.year);
    sc.blanks();
    if (!sc.end()) {
        if (!withTime) throwOra(1830, "date format picture ends before converting entire input string");
        if (!sc.number(1, 2, p.hour) || !sc.takeAny(".:") || !sc.number(1, 2, p.minute) || !sc.takeAny(".:")
            || !sc.number(1, 2, p.second))
            formatMismatch();
        if (sc.take('.') || sc.take(',')) p.nanos = readFraction(sc);
        sc.blanks();
        if (!sc.end()) {
            std::string_view rest = sc.s.substr(sc.i);
            bool pm;
            if (rest == "AM" || rest == "A.M.") pm = false;
            else if (rest == "PM" || rest == "P.M.") pm = true;
            else formatMismatch();
            if (p.hour < 1 || p.hour > 12) throwOra(1849, "hour must be between 1 and 12");
            p.hour = p.hour % 12 + (pm ? 12 : 0);
        }
    }
    validate(p);
    return p;
}

// Rounds the fraction to `digits` places, carrying into seconds, days and years.
void roundFraction(DateTimeParts& p, int digits)
{
    int64_t unit = 1;
    for (int i = digits; i < 9; ++i) unit *= 10;
    int64_t nanos = (p.nanos + unit / 2) / unit * unit;
    if (nanos < 1000000000) { p.nanos = nanos; return; }
    p.nanos = 0;
    int64_t days = daysFromCivil(p.year, unsigned(p.month), unsigned(p.day));
    int64_t secs = p.hour * 3600 + p.minute * 60 + p.second + 1;
    if (secs == 86400) { secs = 0; ++days; }
    civilFromDays(days, p.year, p.month, p.day);
    p.hour = int(secs / 3600);
    p.minute = int(secs / 60 % 60);
    p.second = int(secs % 60);
    if (p.year > 9999) throwOra(1841, "(full) year must be between -4713 and +9999, and not be 0");
}

std::string renderDateTime(const DateTimeParts& p, int fractionDigits)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second);
    std::string out = buf;
    if (fractionDigits > 0) {
        std::snprintf(buf, sizeof buf, "%09lld", static_cast<long long>(p.nanos));
        out += '.';
        out.append(buf, size_t(fractionDigits));
    }
    return out;
}

// How Oracle turns a date into text under its default NLS settings.
std::string oracleText(const DateTimeParts& p, bool withTime)
{
    static const char* mon[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    char buf[64];
    if (!withTime) {
        std::snprintf(buf, sizeof buf, "%02d-%s-%02d", p.day, mon[p.month - 1], p.year % 100);
    } else {
        int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        std::snprintf(buf, sizeof buf, "%02d-%s-%02d %02d.%02d.%02d.%06lld %s", p.day, mon[p.month - 1],
                      p.year % 100, h12, p.minute, p.second, static_cast<long long>(p.nanos / 1000),
                      p.hour < 12 ? "AM" : "PM");
    }
    return buf;
}

const char* literalTypeName(Literal::Kind k)
{
    switch (k) {
    case Literal::Kind::Number: return "NUMBER";
    case Literal::Kind::Date: return "DATE";
    case Literal::Kind::Timestamp: case Literal::Kind::Time: return "TIMESTAMP";
    case Literal::Kind::Hex: case Literal::Kind::Bytes: return "BINARY";
    case Literal::Kind::Boolean: return "BOOLEAN";
    default: return "CHAR";
    }
}

[[noreturn]] void inconsistent(const char* expected, Literal::Kind got)
{
    throwOra(932, std::string("inconsistent datatypes: expected ") + expected + " got " + literalTypeName(got));
}

bool isEscapeDate(Literal::Kind k)
{
    return k == Literal::Kind::Date || k == Literal::Kind::Timestamp || k == Literal::Kind::Time;
}

std::string fromHex(std::string_view hex)
{
    std::string h = trim(hex);
    if (h.size() % 2) throwOra(1465, "invalid hex number");
    std::string out;
    out.reserve(h.size() / 2);
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throwOra(1465, "invalid hex number");
    };
    for (size_t i = 0; i < h.size(); i += 2) out += char(nibble(h[i]) << 4 | nibble(h[i + 1]));
    return out;
}

[[noreturn]] void tooLarge(const ColumnRef& c, size_t actual, int maximum)
{
    throwOra(12899, "value too large for column " + dq(c.owner) + "." + dq(c.table) + "." + dq(c.column)
                        + " (actual: " + std::to_string(actual) + ", maximum: " + std::to_string(maximum) + ")");
}

Value convert(const ColumnType& t, const Literal& lit, const ColumnRef* where)
{
    using LK = Literal::Kind;
    const bool compare = where == nullptr;
    if (lit.kind == LK::Parameter) throwOra(1008, "not all variables bound");
    if (lit.kind == LK::Null || (lit.text.empty() && (lit.kind == LK::String || lit.kind == LK::Hex || lit.kind == LK::Bytes)))
        return Value{};

    switch (t.kind) {
    case Kind::Number: case Kind::Float: case Kind::BinaryDouble: case Kind::BinaryFloat:
        if (lit.kind != LK::String && lit.kind != LK::Number) inconsistent("NUMBER", lit.kind);
        return Value::of(compare ? canonicalNumber(lit.text) : storeNumber(t, lit.text));

    case Kind::Boolean: {
        if (lit.kind == LK::Boolean) return Value::of(lit.text);
        if (lit.kind == LK::Number) return Value::of(canonicalNumber(lit.text) == "0" ? "0" : "1");
        if (lit.kind != LK::String) inconsistent("BOOLEAN", lit.kind);
        const std::string v = upperAscii(trim(lit.text));
        for (const char* yes : {"1", "TRUE", "T", "YES", "Y", "ON"})
            if (v == yes) return Value::of("1");
        for (const char* no : {"0", "FALSE", "F", "NO", "N", "OFF"})
            if (v == no) return Value::of("0");
        throwOra(61800, "invalid boolean value");
    }

    case Kind::Date: case Kind::Timestamp: {
        const bool ts = t.kind == Kind::Timestamp;
        DateTimeParts p;
        if (isEscapeDate(lit.kind)) p = parseEscape(lit.kind, lit.text);
        else if (lit.kind == LK::String) p = parseOracleText(lit.text, ts);
        else inconsistent(ts ? "TIMESTAMP" : "DATE", lit.kind);
        if (!ts) return Value::of(renderDateTime(p, 0)); // DATE has whole seconds only
        roundFraction(p, t.precision);
        return Value::of(renderDateTime(p, t.precision));
    }

    case Kind::Raw: case Kind::Blob: case Kind::LongRaw: {
        if (isEscapeDate(lit.kind) || lit.kind == LK::Boolean) inconsistent("BINARY", lit.kind);
        std::string bytes = lit.kind == LK::Bytes ? lit.text : fromHex(lit.text);
        if (t.kind == Kind::Raw && bytes.size() > size_t(t.length) && !compare) tooLarge(*where, bytes.size(), t.length);
        return Value::of(std::move(bytes));
    }

    default: break; // character kinds
    }

    std::string text;
    switch (lit.kind) {
    case LK::Number: text = canonicalNumber(lit.text); break;
    case LK::Date: text = oracleText(parseEscape(lit.kind, lit.text), false); break;
    case LK::Timestamp: case LK::Time: text = oracleText(parseEscape(lit.kind, lit.text), true); break;
    case LK::Hex: text = upperAscii(lit.text); fromHex(lit.text); break;
    case LK::Bytes: text = toHex(lit.text); break; // as Oracle turns RAW into text
    case LK::Boolean: text = lit.text == "1" ? "TRUE" : "FALSE"; break;
    default: text = lit.text; break;
    }

    size_t actual = 0;
    int limit = 0;
    size_t bytesLeft = ~size_t(0); // room under the column's byte cap, for character semantics
    bool pad = false;
    switch (t.kind) {
    case Kind::Varchar2: case Kind::Char:
        actual = t.charSemantics ? utf8Chars(text) : text.size();
        limit = t.length;
        pad = t.kind == Kind::Char;
        if (t.charSemantics && actual <= size_t(limit)) {
            if (text.size() > size_t(byteCap(t))) {
                if (compare) return Value::of(std::move(text));
                tooLarge(*where, text.size(), byteCap(t));
            }
            bytesLeft = size_t(byteCap(t)) - text.size();
        }
        break;
    case Kind::NVarchar2: case Kind::NChar:
        // AL16UTF16 counts UTF-16 units: a character outside the BMP takes two.
        actual = utf16Units(text);
        limit = t.length;
        pad = t.kind == Kind::NChar;
        break;
    default: return Value::of(std::move(text)); // CLOB, NCLOB, LONG: no limit
    }
    if (actual > size_t(limit)) {
        if (compare) return Value::of(std::move(text)); // cannot match anything stored; no error
        tooLarge(*where, actual, limit);
    }
    if (pad) text.append(std::min(size_t(limit) - actual, bytesLeft), ' ');
    return Value::of(std::move(text));
}

} // namespace

Value toStored(const ColumnType& t, const Literal& lit, const ColumnRef& where) { return convert(t, lit, &where); }
Value toComparable(const ColumnType& t, const Literal& lit) { return convert(t, lit, nullptr); }

std::optional<DateTimeParts> parseStoredDateTime(std::string_view s)
{
    DateTimeParts p;
    Scanner sc{s};
    if (!sc.number(4, 4, p.year) || !sc.take('-') || !sc.number(2, 2, p.month) || !sc.take('-')
        || !sc.number(2, 2, p.day) || !sc.take(' ') || !sc.number(2, 2, p.hour) || !sc.take(':')
        || !sc.number(2, 2, p.minute) || !sc.take(':') || !sc.number(2, 2, p.second))
        return std::nullopt;
    if (sc.take('.')) {
        try { p.nanos = readFraction(sc); } catch (const DbError&) { return std::nullopt; }
    }
    if (!sc.end()) return std::nullopt;
    return p;
}

std::string toHex(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) { out += digits[c >> 4]; out += digits[c & 15]; }
    return out;
}

} // namespace devdb
