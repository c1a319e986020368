#include "tableops/row_buffer.h"

#include "tableops/spill_file.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <stdexcept>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tableops {

namespace {

// Layout of a row: value count, then per value a kind byte and, for texts (UTF-8) and bytes,
// a size prefix and the data.
constexpr std::size_t kChunkSize = std::size_t(1) << 20;
constexpr std::size_t kMaxSizeBytes = 10;

// QString::fromUtf8 would drop a leading U+FEFF as a byte-order mark; here it is part of the value.
QString decodeText(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

} // namespace

std::size_t RowBuffer::takeSize(const char*& in)
{
    // Every size here was written by the buffer itself.
    std::size_t size = 0;
    TakeSizePrefix([&] { return static_cast<unsigned char>(*in++); }, size);
    return size;
}

PackedValue RowBuffer::takeValue(const char*& in)
{
    PackedValue value;
    value.kind = static_cast<oracle::FieldValue::Kind>(*in++);
    switch (value.kind) {
    case oracle::FieldValue::Kind::Null:
        break;
    case oracle::FieldValue::Kind::Boolean:
        value.boolean = *in++ != 0;
        break;
    case oracle::FieldValue::Kind::Text:
    case oracle::FieldValue::Kind::Binary: {
        const std::size_t size = takeSize(in);
        value.data = QByteArrayView(in, qsizetype(size));
        in += size;
        break;
    }
    }
    return value;
}

RowBuffer::RowBuffer(RowBufferLimits limits) : limits_(std::move(limits)) {}

RowBuffer::~RowBuffer() = default;

void RowBuffer::clear()
{
    chunks_.clear();
    chunks_.shrink_to_fit();
    scratch_.clear();
    scratch_.shrink_to_fit();
    spill_.reset();
    memoryBytes_ = 0;
    memoryRows_ = 0;
    count_ = 0;
    readIndex_ = 0;
    readChunk_ = 0;
    readOffset_ = 0;
#ifdef __GLIBC__
    // A table's rows can be large; give the memory back to the system, not just to the heap.
    malloc_trim(0);
#endif
}

void RowBuffer::append(const std::vector<oracle::FieldValue>& row)
{
    std::string& packed = scratch_;
    packed.clear();
    AppendSizePrefix(packed, row.size());
    for (const oracle::FieldValue& value : row) {
        packed.push_back(char(value.kind));
        switch (value.kind) {
        case oracle::FieldValue::Kind::Null:
            break;
        case oracle::FieldValue::Kind::Boolean:
            packed.push_back(value.boolean ? 1 : 0);
            break;
        case oracle::FieldValue::Kind::Text: {
            // Encode behind room for the size, then move the data down to where the size ends.
            const std::size_t at = packed.size();
            packed.resize(at + kMaxSizeBytes + std::size_t(value.text.size()) * 3);
            char* data = packed.data() + at + kMaxSizeBytes;
            const std::size_t size = std::size_t(encoder_.appendToBuffer(data, value.text) - data);
            std::string sizeBytes;
            AppendSizePrefix(sizeBytes, size);
            std::memmove(packed.data() + at + sizeBytes.size(), data, size);
            std::memcpy(packed.data() + at, sizeBytes.data(), sizeBytes.size());
            packed.resize(at + sizeBytes.size() + size);
            break;
        }
        case oracle::FieldValue::Kind::Binary:
            AppendSizePrefix(packed, std::size_t(value.bytes.size()));
            packed.append(value.bytes.constData(), std::size_t(value.bytes.size()));
            break;
        }
    }
    // Once the memory is full, every further row goes to the file, so the rows stay in order.
    if (!spill_ && memoryBytes_ + packed.size() <= limits_.memoryBytes) {
        if (chunks_.empty() || chunks_.back().size() + packed.size() > chunks_.back().capacity()) {
            chunks_.emplace_back();
            chunks_.back().reserve(std::min(std::max(kChunkSize, packed.size()), limits_.memoryBytes));
        }
        chunks_.back().append(packed);
        memoryBytes_ += packed.size();
        ++memoryRows_;
    } else {
        if (!spill_)
            spill_ = std::make_unique<SpillFile>(limits_.spillFolder);
        spill_->append(packed);
    }
    ++count_;
    // Reading starts afresh after a change.
    readIndex_ = count_;
}

void RowBuffer::flush()
{
    if (spill_)
        spill_->flush();
}

const char* RowBuffer::nextRow()
{
    const char* row = nullptr;
    if (readIndex_ < memoryRows_) {
        if (readOffset_ >= chunks_[readChunk_].size()) {
            ++readChunk_;
            readOffset_ = 0;
        }
        const std::string& chunk = chunks_[readChunk_];
        row = chunk.data() + readOffset_;
        // Rows are self-delimiting: measure this one to find the next.
        const char* in = row;
        const std::size_t values = takeSize(in);
        for (std::size_t i = 0; i < values; ++i)
            takeValue(in);
        readOffset_ += std::size_t(in - row);
    } else {
        if (readIndex_ == memoryRows_)
            spill_->rewind();
        row = spill_->next().data();
    }
    ++readIndex_;
    return row;
}

const char* RowBuffer::seek(std::int64_t index)
{
    if (index < 0 || index >= count_)
        throw std::out_of_range("row index out of range");
    if (index < readIndex_) {
        readIndex_ = 0;
        readChunk_ = 0;
        readOffset_ = 0;
    }
    const char* row = nextRow();
    while (readIndex_ <= index)
        row = nextRow();
    return row;
}

std::vector<oracle::FieldValue> RowBuffer::row(std::int64_t index)
{
    std::vector<oracle::FieldValue> values;
    forEachValue(index, [&](int, const PackedValue& packed) {
        oracle::FieldValue value;
        value.kind = packed.kind;
        value.boolean = packed.boolean;
        if (packed.kind == oracle::FieldValue::Kind::Text)
            value.text = decodeText(packed.data);
        else if (packed.kind == oracle::FieldValue::Kind::Binary)
            value.bytes = packed.data.toByteArray();
        values.push_back(std::move(value));
    });
    return values;
}

} // namespace tableops
