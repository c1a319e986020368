#pragma once

#include "oracle/field_value.h"

#include <QString>
#include <memory>
#include <vector>

// The database layer's two objects: a connection, and the rows of a query run on it.

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

enum class CursorLocation { Server, Client };

// One ODBC connection opened from a connection string, with nothing else set. Releasing it
// closes it; every operation makes its own.
class Connection {
public:
    Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    void setCursorLocation(CursorLocation location) { cursorLocation_ = location; }
    void open(const QString& connectionString);
    bool isOpen() const;
    // Runs plain SQL text. A query gives its rows positioned on the first; anything else a
    // closed result set.
    ResultSet execute(const QString& sql);
    // Off, the changes wait for commit() or rollback(); a connection closed meanwhile rolls them
    // back. Each throws DatabaseError with the driver's words.
    void setAutoCommit(bool on);
    void commit();
    void rollback();
    void close();

private:
    friend class BoundInsert;
    std::shared_ptr<detail::ConnectionCore> core_;
    CursorLocation cursorLocation_ = CursorLocation::Server;
};

} // namespace oracle
