#pragma once

#include "oracle/field_value.h"

#include <QByteArrayView>
#include <QStringEncoder>
#include <cstdint>
#include <string>
#include <vector>

namespace tableops {

// One value as the buffer holds it: texts as UTF-8, bytes as they are. Valid until the buffer changes.
struct PackedValue {
    oracle::FieldValue::Kind kind = oracle::FieldValue::Kind::Null;
    bool boolean = false;
    QByteArrayView data;
};

// A whole table's rows, held before the first INSERT. Each row keeps its values apart (no joining
// text that a value could contain), packed into large chunks so the buffer stays close to the
// size of the values themselves.
class RowBuffer {
public:
    void clear();
    void append(const std::vector<oracle::FieldValue>& row);
    int count() const { return int(rows_.size()); }
    std::vector<oracle::FieldValue> row(int index) const;

    // Calls visit(column, value) for each value of the row, in column order.
    template <typename Visit>
    void forEachValue(int index, Visit visit) const;

private:
    struct Position {
        std::uint32_t chunk;
        std::uint32_t offset;
    };
    const char* rowStart(int index) const;
    static std::size_t takeSize(const char*& in);
    static PackedValue takeValue(const char*& in);

    std::vector<std::string> chunks_;
    std::vector<Position> rows_;
    std::string scratch_;
    QStringEncoder encoder_{QStringEncoder::Utf8};
};

template <typename Visit>
void RowBuffer::forEachValue(int index, Visit visit) const
{
    const char* in = rowStart(index);
    const std::size_t count = takeSize(in);
    for (std::size_t column = 0; column < count; ++column)
        visit(int(column), takeValue(in));
}

} // namespace tableops
