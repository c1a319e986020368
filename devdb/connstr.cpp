#include "connstr.h"

#include "util.h"

namespace devdb {

ConnectionString ConnectionString::parse(std::string_view text)
{
    ConnectionString cs;
    size_t i = 0;
    const size_t n = text.size();
    auto bad = [](const std::string& why) {
        return DbError("08001", 0, "Invalid connection string: " + why);
    };
    while (i < n) {
        // Key: everything up to '=' (a bare segment without '=' is tolerated only if blank).
        size_t eq = text.find('=', i);
        size_t semi = text.find(';', i);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            const size_t end = semi == std::string_view::npos ? n : semi;
            if (!trim(text.substr(i, end - i)).empty())
                throw bad("attribute without '='");
            i = end + 1;
            continue;
        }
        std::string key = upperAscii(trim(text.substr(i, eq - i)));
        if (key.empty()) throw bad("empty keyword");
        i = eq + 1;
        while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
        std::string value;
        if (i < n && text[i] == '{') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == '}') {
                    if (i + 1 < n && text[i + 1] == '}') { value += '}'; i += 2; continue; }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed) throw bad("unterminated '{' in the value of " + key);
            while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
            if (i < n && text[i] != ';') throw bad("text after '}' in the value of " + key);
            ++i;
        } else {
            const size_t end = text.find(';', i);
            const size_t stop = end == std::string_view::npos ? n : end;
            value = trim(text.substr(i, stop - i));
            i = stop + 1;
        }
        cs.values_.emplace(std::move(key), std::move(value)); // emplace keeps the first one
    }
    return cs;
}

std::optional<std::string> ConnectionString::get(std::string_view key) const
{
    auto it = values_.find(upperAscii(key));
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> ConnectionString::any(std::initializer_list<std::string_view> keys) const
{
    for (auto k : keys)
        if (auto v = get(k)) return v;
    return std::nullopt;
}

std::string serviceOfConnectDescriptor(std::string_view dbq)
{
    std::string_view text = dbq;
    if (text.substr(0, 2) == "//") text.remove_prefix(2);
    const size_t slash = text.find('/');
    if (slash == std::string_view::npos) return trim(dbq);
    const std::string_view service = text.substr(slash + 1);
    return trim(service.substr(0, service.find_first_of(":/")));
}

} // namespace devdb
