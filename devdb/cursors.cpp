#include "cursors.h"

#include "rowcodec.h"

#include <algorithm>

namespace devdb {

bool RowFilter::keeps(const std::vector<Value>& row) const
{
    for (const Test& t : tests) {
        const Value& v = row[t.column];
        switch (t.op) {
        case Test::Op::IsNull: if (!v.null) return false; break;
        case Test::Op::IsNotNull: if (v.null) return false; break;
        case Test::Op::Equal: if (v.null || t.value.null || v.data != t.value.data) return false; break;
        }
    }
    return true;
}

void RowOrder::sort(std::vector<std::vector<Value>>& rows) const
{
    if (keys.empty()) return;
    auto less = [](const Value& a, const Value& b, const Key& k) {
        if (a.null || b.null) {
            if (a.null == b.null) return false;
            return k.descending ? a.null : b.null;
        }
        const int c = k.numeric ? compareNumbers(a.data, b.data) : a.data.compare(b.data);
        return k.descending ? c > 0 : c < 0;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const std::vector<Value>& a, const std::vector<Value>& b) {
        for (const Key& k : keys) {
            if (less(a[k.column], b[k.column], k)) return true;
            if (less(b[k.column], a[k.column], k)) return false;
        }
        return false;
    });
}

void Projection::apply(const std::vector<Value>& from, std::vector<Value>& to) const
{
    to.resize(source.size());
    for (size_t i = 0; i < source.size(); ++i) to[i] = source[i] ? from[*source[i]] : constants[i];
}

namespace {

class MemoryCursor : public Cursor {
public:
    MemoryCursor(std::vector<ResultColumn> columns, std::vector<std::vector<Value>> rows)
        : Cursor(std::move(columns)), rows_(std::move(rows)) {}
    bool next() override
    {
        if (next_ >= rows_.size()) { row_.clear(); rows_.clear(); return false; }
        row_ = std::move(rows_[next_++]);
        return true;
    }

private:
    std::vector<std::vector<Value>> rows_;
    size_t next_ = 0;
};

class TableCursor : public Cursor {
public:
    TableCursor(SqliteStmt rows, size_t width, RowFilter filter, Projection projection)
        : Cursor(projection.columns), st_(std::move(rows)), width_(width), filter_(std::move(filter)),
          projection_(std::move(projection)) {}
    bool next() override
    {
        while (st_) {
            bool more;
            try {
                more = st_.step();
            } catch (...) {
                st_ = SqliteStmt();
                throw;
            }
            if (!more) break;
            const auto* blob = static_cast<const char*>(sqlite3_column_blob(st_.get(), 0));
            decodeRow(std::string_view(blob ? blob : "", size_t(sqlite3_column_bytes(st_.get(), 0))), width_, full_);
            if (!filter_.keeps(full_)) continue;
            projection_.apply(full_, row_);
            return true;
        }
        // Finished: let go of the read snapshot at once so other connections are not held up.
        st_ = SqliteStmt();
        row_.clear();
        return false;
    }

private:
    SqliteStmt st_;
    size_t width_;
    RowFilter filter_;
    Projection projection_;
    std::vector<Value> full_;
};

} // namespace

std::unique_ptr<Cursor> memoryCursor(std::vector<ResultColumn> columns, std::vector<std::vector<Value>> rows)
{
    return std::make_unique<MemoryCursor>(std::move(columns), std::move(rows));
}

std::unique_ptr<Cursor> tableCursor(SqliteStmt rows, size_t width, RowFilter filter, Projection projection)
{
    return std::make_unique<TableCursor>(std::move(rows), width, std::move(filter), std::move(projection));
}

} // namespace devdb
