#pragma once
// Rows of a query, read forward only, and the pieces every query is built from: which rows a
// WHERE clause keeps, the order ORDER BY asks for, and the select list's columns.
#include "store.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace devdb {

struct ResultColumn {
    std::string name;
    ColumnType type;
    bool nullable = true;
    bool invisible = false; // a table's INVISIBLE column: named, never part of SELECT *
};

class Cursor {
public:
    explicit Cursor(std::vector<ResultColumn> columns) : columns_(std::move(columns)) {}
    virtual ~Cursor() = default;
    const std::vector<ResultColumn>& columns() const { return columns_; }
    // Moves to the next row; false at the end, after which the cursor holds no database resources.
    virtual bool next() = 0;
    const std::vector<Value>& row() const { return row_; }

protected:
    std::vector<ResultColumn> columns_;
    std::vector<Value> row_;
};

// WHERE col = value / IS [NOT] NULL [AND ...], resolved to column positions. NULL never equals
// anything, as in Oracle.
struct RowFilter {
    struct Test {
        size_t column = 0;
        enum class Op { Equal, IsNull, IsNotNull } op = Op::Equal;
        Value value;
    };
    std::vector<Test> tests;
    bool keeps(const std::vector<Value>& row) const;
};

// ORDER BY: Oracle puts NULLs last ascending and first descending; numbers sort by value.
struct RowOrder {
    struct Key {
        size_t column = 0;
        bool descending = false;
        bool numeric = false;
    };
    std::vector<Key> keys;
    void sort(std::vector<std::vector<Value>>& rows) const; // stable
};

// The select list: each output column a source column or a constant (USER, a literal, ...).
struct Projection {
    std::vector<ResultColumn> columns;
    std::vector<std::optional<size_t>> source;
    std::vector<Value> constants;
    void apply(const std::vector<Value>& from, std::vector<Value>& to) const;
};

std::unique_ptr<Cursor> memoryCursor(std::vector<ResultColumn> columns, std::vector<std::vector<Value>> rows);

// Streams a table's rows out of dd_rows (a statement yielding the row blobs in rowid order),
// keeping those the filter keeps, shaped by the projection.
std::unique_ptr<Cursor> tableCursor(SqliteStmt rows, size_t width, RowFilter filter, Projection projection);

} // namespace devdb
