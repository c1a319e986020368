#include "bound_text.h"

#include "util.h"

namespace devdb {

namespace {

// The longest start of a UTF-8 text that has at most `limit` characters.
size_t cutAt(std::string_view text, size_t limit)
{
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars++ == limit) return i;
    }
    return text.size();
}

void appendQuoted(std::string& out, std::string_view text)
{
    out += '\'';
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
}

// 'ab' || CHR(0) || 'cd', as the program writes a text holding NUL characters.
void appendText(std::string& out, std::string_view text)
{
    if (text.find('\0') == std::string_view::npos) {
        appendQuoted(out, text);
        return;
    }
    bool first = true;
    auto join = [&] {
        if (!first) out += " || ";
        first = false;
    };
    size_t from = 0;
    for (size_t nul = text.find('\0'); nul != std::string_view::npos; nul = text.find('\0', from)) {
        if (nul > from) {
            join();
            appendQuoted(out, text.substr(from, nul - from));
        }
        join();
        out += "CHR(0)";
        from = nul + 1;
    }
    if (from < text.size()) {
        join();
        appendQuoted(out, text.substr(from));
    }
}

// A timestamp as its DATE or TIMESTAMP column keeps it (the form the program reads and writes
// back), else as it came.
std::string timestampText(const Literal& value, const ColumnType* column)
{
    if (column && isDateTime(*column)) {
        try {
            return toComparable(*column, value).data;
        } catch (const DbError&) {
        }
    }
    return value.text;
}

void appendValue(std::string& out, const Literal& value, const ColumnType* column)
{
    using K = Literal::Kind;
    switch (value.kind) {
    case K::Null: out += "''"; return;
    case K::Number: out += value.text; return;
    case K::Timestamp: case K::Time: out += "{ts '" + timestampText(value, column) + "'}"; return;
    case K::Date: out += "{d '" + value.text + "'}"; return;
    case K::Bytes: {
        const bool cut = value.text.size() > kBoundTextLimit / 2;
        out += '\'' + toHex(std::string_view(value.text).substr(0, kBoundTextLimit / 2)) + '\'';
        if (cut) out += "...";
        return;
    }
    default: {
        const size_t end = cutAt(value.text, kBoundTextLimit);
        appendText(out, std::string_view(value.text).substr(0, end));
        if (end < value.text.size()) out += "...";
        return;
    }
    }
}

} // namespace

std::string boundText(std::string_view sql, const std::vector<size_t>& markers, const std::vector<Literal>& values,
                      const std::vector<const ColumnType*>& columns)
{
    std::string out;
    out.reserve(sql.size() + 16 * markers.size());
    size_t from = 0;
    for (size_t i = 0; i < markers.size(); ++i) {
        out.append(sql.substr(from, markers[i] - from));
        appendValue(out, i < values.size() ? values[i] : Literal{}, i < columns.size() ? columns[i] : nullptr);
        from = markers[i] + 1;
    }
    out.append(sql.substr(from));
    return out;
}

} // namespace devdb
