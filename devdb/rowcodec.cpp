#include "rowcodec.h"

namespace devdb {

namespace {
void putVarint(std::string& out, uint64_t v)
{
    while (v >= 0x80) {
        out += char(0x80 | (v & 0x7F));
        v >>= 7;
    }
    out += char(v);
}

bool getVarint(std::string_view in, size_t& pos, uint64_t& v)
{
    v = 0;
    for (int shift = 0; pos < in.size() && shift < 64; shift += 7) {
        const auto b = static_cast<unsigned char>(in[pos++]);
        v |= uint64_t(b & 0x7F) << shift;
        if (!(b & 0x80)) return true;
    }
    return false;
}

void putValue(std::string& out, const Value& v)
{
    if (v.null) {
        out += char(0);
        return;
    }
    putVarint(out, uint64_t(v.data.size()) + 1);
    out += v.data;
}
} // namespace

std::string encodeRow(const std::vector<Value>& values)
{
    size_t size = 0;
    for (const Value& v : values) size += v.data.size() + 2;
    std::string out;
    out.reserve(size);
    for (const Value& v : values) putValue(out, v);
    return out;
}

void decodeRow(std::string_view blob, size_t width, std::vector<Value>& out)
{
    out.resize(width);
    size_t pos = 0;
    for (size_t i = 0; i < width; ++i) {
        uint64_t tag = 0;
        if (pos >= blob.size() || !getVarint(blob, pos, tag) || tag == 0 || tag - 1 > blob.size() - pos) {
            out[i] = Value{};
            continue;
        }
        out[i].null = false;
        out[i].data.assign(blob.data() + pos, size_t(tag - 1));
        pos += size_t(tag - 1);
    }
}

std::string primaryKeyEntry(int64_t tableId, const std::vector<Value>& values, const std::vector<int>& keyColumns)
{
    std::string out;
    for (int shift = 56; shift >= 0; shift -= 8) out += char((uint64_t(tableId) >> shift) & 0xFF);
    for (int k : keyColumns) putValue(out, values[size_t(k)]);
    return out;
}

} // namespace devdb
