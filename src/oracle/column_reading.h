#pragma once

// How a result set reads the columns of its rows, for the database layer's own files only: short
// columns through buffers bound to them, the others piece by piece.

#include "oracle/field_value.h"
#include "oracle/odbc_handle.h"

#include <vector>

namespace oracle::detail {

// A column read through a buffer bound to it, filled by each fetch.
struct BoundColumn {
    std::vector<SQLWCHAR> text;  // text columns
    unsigned char bit = 0;       // Boolean columns
    SQLLEN indicator = 0;
};

// Reads one column of the current row, piece by piece when it is longer than the buffer.
FieldValue ReadColumn(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT sqlType);

// Short columns are bound, so one fetch fills them all instead of a call per value; long and
// binary ones are read piece by piece after them (unbound columns must follow the bound ones).
std::vector<BoundColumn> BindLeadingColumns(SQLHSTMT statement, const std::vector<ColumnInfo>& columns,
                                            const std::vector<SQLULEN>& sizes, bool boundValuesRereadable);

} // namespace oracle::detail
