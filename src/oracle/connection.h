#pragma once

#include "oracle/result_set.h"

#include <QString>
#include <memory>

namespace oracle {

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
    void close();

private:
    std::shared_ptr<detail::ConnectionCore> core_;
    CursorLocation cursorLocation_ = CursorLocation::Server;
};

} // namespace oracle
