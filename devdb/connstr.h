#pragma once
// ODBC connection strings: KEY=value pairs separated by ';'. Keys are case-insensitive, a value
// may be wrapped in braces ("{a;b}") where "}}" stands for "}". The first occurrence of a key wins.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace devdb {

class ConnectionString {
public:
    // Throws DbError (08001) on an unterminated brace or a pair without '='.
    static ConnectionString parse(std::string_view text);
    std::optional<std::string> get(std::string_view key) const; // key in any case
    // First present value among several synonyms (e.g. PWD / PASSWORD).
    std::optional<std::string> any(std::initializer_list<std::string_view> keys) const;

private:
    std::map<std::string, std::string> values_; // keys upper-cased
};

// The SID that Oracle's DBQ= names: a TNS alias as it is, or the service of an Easy Connect text
// "host[:port]/service[:server][/instance]", also written "//host:port/service".
std::string serviceOfConnectDescriptor(std::string_view dbq);

} // namespace devdb
