#pragma once

#include "oracle/field_value.h"

#include <memory>
#include <vector>

namespace oracle {

namespace detail {
struct ConnectionCore;
struct StatementCore;
}

// Rows of one executed query. Forward-only over the live statement, or fully fetched when the
// connection uses a client-side cursor (then recordCount() is exact). A default-constructed
// result set is closed: using it fails the way a never-opened one does.
class ResultSet {
public:
    ResultSet();
    ResultSet(ResultSet&&) noexcept;
    ResultSet& operator=(ResultSet&&) noexcept;
    ~ResultSet();

    bool isOpen() const;
    bool eof() const;
    void moveNext();
    int fieldCount() const;
    const ColumnInfo& column(int index) const;
    const FieldValue& value(int index) const;
    const std::vector<FieldValue>& row() const;
    // Exact for a fully fetched result, -1 otherwise.
    long long recordCount() const;
    void close();

private:
    friend class Connection;
    // Takes over an executed statement that gives rows (columnCount > 0): describes and binds its
    // columns, reads every row at once for a client-side cursor, and stands on the first row.
    ResultSet(std::shared_ptr<detail::ConnectionCore> connection, const std::shared_ptr<detail::StatementCore>& statement,
              int columnCount, bool clientCursor);

    struct State;
    std::unique_ptr<State> state_;
    void requireOpen() const;
    void fetch();
};

} // namespace oracle
