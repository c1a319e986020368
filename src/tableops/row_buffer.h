#pragma once

#include "oracle/field_value.h"
#include "tableops/spill_file.h"

#include <QByteArrayView>
#include <QDir>
#include <QStringEncoder>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tableops {

// How much of a table's rows may stay in memory, and where the rest goes.
struct RowBufferLimits {
    std::size_t memoryBytes = std::size_t(20) << 20;
    QString spillFolder = QDir::tempPath();
};

// One value as the buffer holds it: texts as UTF-8, bytes as they are. Valid until the buffer
// reads its next row or changes.
struct PackedValue {
    oracle::FieldValue::Kind kind = oracle::FieldValue::Kind::Null;
    bool boolean = false;
    QByteArrayView data;
};

// A whole table's rows, held before the first INSERT. Each row keeps its values apart (no joining
// text that a value could contain), packed close to the size of the values themselves. Up to the
// memory limit the rows stay in memory; the rest go to a temporary file, so any table fits in flat
// memory. Rows are read back in order: reading an earlier row starts again from the first.
class RowBuffer {
public:
    explicit RowBuffer(RowBufferLimits limits = {});
    ~RowBuffer();

    // Frees the memory and removes the file.
    void clear();
    // Throws RowBufferError when the temporary file fails.
    void append(const std::vector<oracle::FieldValue>& row);
    // Writes out the rows still waiting for the temporary file, so a file that cannot take them
    // fails while the rows are read, not once they are being sent. Throws RowBufferError.
    void flush();
    std::int64_t count() const { return count_; }
    // Whether rows went to the temporary file.
    bool spilled() const { return spill_ != nullptr; }
    std::vector<oracle::FieldValue> row(std::int64_t index);

    // Calls visit(column, value) for each value of the row, in column order.
    template <typename Visit>
    void forEachValue(std::int64_t index, Visit visit);

private:
    const char* seek(std::int64_t index);
    const char* nextRow();
    static std::size_t takeSize(const char*& in);
    static PackedValue takeValue(const char*& in);

    RowBufferLimits limits_;
    std::vector<std::string> chunks_;
    std::size_t memoryBytes_ = 0;
    std::int64_t memoryRows_ = 0;
    std::int64_t count_ = 0;
    std::unique_ptr<SpillFile> spill_;
    std::string scratch_;
    // Stateless: each value is encoded on its own, so one that ends in half a surrogate pair gets
    // its U+FFFD itself instead of handing it to the next value.
    QStringEncoder encoder_{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};

    // Where reading stands: the row it gives next, and its place in memory.
    std::int64_t readIndex_ = 0;
    std::size_t readChunk_ = 0;
    std::size_t readOffset_ = 0;
};

template <typename Visit>
void RowBuffer::forEachValue(std::int64_t index, Visit visit)
{
    const char* in = seek(index);
    const std::size_t count = takeSize(in);
    for (std::size_t column = 0; column < count; ++column)
        visit(int(column), takeValue(in));
}

} // namespace tableops
