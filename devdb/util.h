#pragma once
// Small helpers shared by every part of the driver: the error type that carries an
// Oracle-style message, and text utilities.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace devdb {

// A failure to report through ODBC. `message` is the bare text ("ORA-00942: ..."); the ODBC
// layer adds the driver prefix. `native` is the ORA number, 0 for driver-level errors.
struct DbError : std::runtime_error {
    DbError(std::string state, int nativeCode, const std::string& text)
        : std::runtime_error(text), sqlstate(std::move(state)), native(nativeCode) {}
    std::string sqlstate;
    int native;
};

// Builds "ORA-<code>: <text>" with the SQLSTATE an Oracle driver would give for that code.
[[noreturn]] void throwOra(int code, const std::string& text);
DbError oraError(int code, const std::string& text);

std::string upperAscii(std::string_view s);
std::string trim(std::string_view s);
bool iequals(std::string_view a, std::string_view b);

// UTF-8 to UTF-16 and back; invalid sequences and lone surrogates become U+FFFD so output is
// always well formed. Every code point, U+0000 and U+FEFF included, passes unchanged.
std::u16string utf8ToUtf16(std::string_view s);
std::string utf16ToUtf8(std::u16string_view s);
// Number of code points in UTF-8 text, and number of UTF-16 units it needs.
size_t utf8Chars(std::string_view s);
size_t utf16Units(std::string_view s);

// Oracle quoting of an identifier inside messages: "SCOTT"."T"."C".
std::string dq(std::string_view name);

} // namespace devdb
