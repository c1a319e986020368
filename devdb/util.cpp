#include "util.h"

#include <cstdio>

namespace devdb {

namespace {
// SQLSTATEs close to what Oracle's ODBC drivers report, so callers can branch on class.
const char* stateFor(int code)
{
    switch (code) {
    case 1: case 1400: case 1407: return "23000";
    case 942: return "42S02";
    case 955: return "42S01";
    case 904: case 957: return "42S22";
    case 1438: case 1426: return "22003";
    case 1722: case 1465: case 61800: return "22018";
    case 12899: case 1401: return "22001";
    case 1017: return "28000";
    case 12154: case 12162: return "08001";
    default: break;
    }
    if (code >= 1800 && code < 1900) return "22008";
    if (code >= 900 && code < 1000) return "42000";
    return "HY000";
}
} // namespace

DbError oraError(int code, const std::string& text)
{
    char head[24];
    std::snprintf(head, sizeof head, "ORA-%05d: ", code);
    return DbError(stateFor(code), code, head + text);
}

void throwOra(int code, const std::string& text) { throw oraError(code, text); }

std::string upperAscii(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return r;
}

std::string trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return std::string(s.substr(b, e - b));
}

bool iequals(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && upperAscii(a) == upperAscii(b);
}

namespace {
// Decodes one code point at s[i]; returns false (and consumes one byte) on a bad sequence.
bool decodeUtf8(std::string_view s, size_t& i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    int extra;
    char32_t minimum;
    if (b0 < 0x80) { cp = b0; ++i; return true; }
    if ((b0 & 0xE0) == 0xC0) { cp = b0 & 0x1F; extra = 1; minimum = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { cp = b0 & 0x0F; extra = 2; minimum = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { cp = b0 & 0x07; extra = 3; minimum = 0x10000; }
    else { ++i; return false; }
    if (i + extra >= s.size()) { ++i; return false; }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) { ++i; return false; }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return false; }
    i += extra + 1;
    return true;
}
} // namespace

std::u16string utf8ToUtf16(std::string_view s)
{
    std::u16string out;
    // Most values are plain ASCII: widen them in one pass, decode only what follows.
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    out.resize(i);
    for (size_t k = 0; k < i; ++k) out[k] = char16_t(static_cast<unsigned char>(s[k]));
    if (i == s.size()) return out;
    out.reserve(s.size());
    while (i < s.size()) {
        char32_t cp;
        if (!decodeUtf8(s, i, cp)) cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

size_t utf8Chars(std::string_view s)
{
    size_t n = 0, i = 0;
    char32_t cp;
    while (i < s.size()) { decodeUtf8(s, i, cp); ++n; }
    return n;
}

size_t utf16Units(std::string_view s)
{
    size_t n = 0, i = 0;
    char32_t cp;
    while (i < s.size()) {
        if (decodeUtf8(s, i, cp) && cp >= 0x10000) n += 2; else n += 1;
    }
    return n;
}

std::string dq(std::string_view name) { return "\"" + std::string(name) + "\""; }

} // namespace devdb
