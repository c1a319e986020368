#pragma once
// How a table row is kept: all rows of all Oracle tables live in one SQLite table, each row as
// one blob of its values, so the number of SQLite schema objects does not grow with the number
// of Oracle tables. A blob is, per column, a varint (0: NULL, else the length + 1) and the bytes.
#include "types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace devdb {

std::string encodeRow(const std::vector<Value>& values);
// Fills `out` with `width` values; columns the blob does not hold are NULL.
void decodeRow(std::string_view blob, size_t width, std::vector<Value>& out);

// The primary key entry of a row: the table id and the key's values, encoded so that two rows
// get the same entry exactly when their key values are equal byte for byte.
std::string primaryKeyEntry(int64_t tableId, const std::vector<Value>& values, const std::vector<int>& keyColumns);

} // namespace devdb
