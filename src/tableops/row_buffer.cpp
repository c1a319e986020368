#include "tableops/row_buffer.h"

#include <stdexcept>

namespace tableops {

namespace {

constexpr size_t kChunkSize = size_t(1) << 20;

// Layout of a row: value count, then per value a kind byte and, for texts (UTF-8) and bytes,
// a variable-length size and the data.
void putSize(std::string& out, size_t size)
{
    while (size >= 0x80) {
        out.push_back(char((size & 0x7F) | 0x80));
        size >>= 7;
    }
    out.push_back(char(size));
}

size_t takeSize(const char*& in)
{
    size_t size = 0;
    int shift = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(*in++);
        size |= size_t(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return size;
        shift += 7;
    }
}

} // namespace

void RowBuffer::clear()
{
    chunks_.clear();
    chunks_.shrink_to_fit();
    rows_.clear();
    rows_.shrink_to_fit();
}

void RowBuffer::append(const std::vector<oracle::FieldValue>& row)
{
    std::string packed;
    putSize(packed, row.size());
    for (const oracle::FieldValue& value : row) {
        packed.push_back(char(value.kind));
        switch (value.kind) {
        case oracle::FieldValue::Kind::Null:
            break;
        case oracle::FieldValue::Kind::Boolean:
            packed.push_back(value.boolean ? 1 : 0);
            break;
        case oracle::FieldValue::Kind::Text: {
            const QByteArray utf8 = value.text.toUtf8();
            putSize(packed, size_t(utf8.size()));
            packed.append(utf8.constData(), size_t(utf8.size()));
            break;
        }
        case oracle::FieldValue::Kind::Binary:
            putSize(packed, size_t(value.bytes.size()));
            packed.append(value.bytes.constData(), size_t(value.bytes.size()));
            break;
        }
    }
    if (chunks_.empty() || chunks_.back().size() + packed.size() > chunks_.back().capacity()) {
        chunks_.emplace_back();
        chunks_.back().reserve(std::max(kChunkSize, packed.size()));
    }
    std::string& chunk = chunks_.back();
    rows_.push_back({std::uint32_t(chunks_.size() - 1), std::uint32_t(chunk.size())});
    chunk.append(packed);
}

std::vector<oracle::FieldValue> RowBuffer::row(int index) const
{
    if (index < 0 || index >= count())
        throw std::out_of_range("row index out of range");
    const Position position = rows_[size_t(index)];
    const char* in = chunks_[position.chunk].data() + position.offset;
    std::vector<oracle::FieldValue> values(takeSize(in));
    for (oracle::FieldValue& value : values) {
        value.kind = static_cast<oracle::FieldValue::Kind>(*in++);
        switch (value.kind) {
        case oracle::FieldValue::Kind::Null:
            break;
        case oracle::FieldValue::Kind::Boolean:
            value.boolean = *in++ != 0;
            break;
        case oracle::FieldValue::Kind::Text: {
            const size_t size = takeSize(in);
            value.text = QString::fromUtf8(in, qsizetype(size));
            in += size;
            break;
        }
        case oracle::FieldValue::Kind::Binary: {
            const size_t size = takeSize(in);
            value.bytes = QByteArray(in, qsizetype(size));
            in += size;
            break;
        }
        }
    }
    return values;
}

} // namespace tableops
