#pragma once

#include "oracle/field_value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tableops {

// A whole table's rows, held before the first INSERT. Each row keeps its values apart (no joining
// text that a value could contain), packed into large chunks so the buffer stays close to the
// size of the values themselves.
class RowBuffer {
public:
    void clear();
    void append(const std::vector<oracle::FieldValue>& row);
    int count() const { return int(rows_.size()); }
    std::vector<oracle::FieldValue> row(int index) const;

private:
    struct Position {
        std::uint32_t chunk;
        std::uint32_t offset;
    };
    std::vector<std::string> chunks_;
    std::vector<Position> rows_;
};

} // namespace tableops
