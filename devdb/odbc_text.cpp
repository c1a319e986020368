#include "odbc_text.h"

#include "util.h"

#include <algorithm>
#include <cstring>

namespace devdb {

std::string textArgument(const SQLCHAR* text, SQLINTEGER length)
{
    if (!text) return {};
    if (length == SQL_NTS) return reinterpret_cast<const char*>(text);
    if (length < 0) return {};
    return std::string(reinterpret_cast<const char*>(text), size_t(length));
}

std::string textArgument(const SQLWCHAR* text, SQLINTEGER length)
{
    if (!text) return {};
    size_t n = 0;
    if (length == SQL_NTS) {
        while (text[n]) ++n;
    } else if (length > 0) {
        n = size_t(length);
    }
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
    return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), n));
}

TextWritten writeText(std::string_view utf8, const TextBuffer& out)
{
    TextWritten w;
    if (out.form == TextBuffer::Form::Narrow) {
        w.length = SQLLEN(utf8.size());
        if (!out.data || out.capacity <= 0) {
            w.truncated = !utf8.empty() && out.data;
            return w;
        }
        const size_t n = std::min(utf8.size(), size_t(out.capacity - 1));
        std::memcpy(out.data, utf8.data(), n);
        static_cast<char*>(out.data)[n] = 0;
        w.truncated = n < utf8.size();
        return w;
    }
    const std::u16string wide = utf8ToUtf16(utf8);
    const bool bytes = out.form == TextBuffer::Form::WideBytes;
    w.length = SQLLEN(wide.size() * (bytes ? sizeof(SQLWCHAR) : 1));
    const SQLLEN room = bytes ? out.capacity / SQLLEN(sizeof(SQLWCHAR)) : out.capacity;
    if (!out.data || room <= 0) {
        w.truncated = !wide.empty() && out.data;
        return w;
    }
    size_t n = std::min(wide.size(), size_t(room - 1));
    if (n < wide.size() && n > 0 && wide[n - 1] >= 0xD800 && wide[n - 1] <= 0xDBFF) --n;
    auto* target = static_cast<SQLWCHAR*>(out.data);
    for (size_t i = 0; i < n; ++i) target[i] = SQLWCHAR(wide[i]);
    target[n] = 0;
    w.truncated = n < wide.size();
    return w;
}

} // namespace devdb
