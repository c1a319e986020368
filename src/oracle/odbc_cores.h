#pragma once

// What a connection and its statements share, for the database layer's own files only: a result
// set keeps its connection's core alive while it reads, and a closing connection closes the
// statements still open on it.

#include "oracle/odbc_handle.h"

#include <memory>
#include <optional>
#include <vector>

namespace oracle::detail {

struct StatementCore {
    Handle statement;
};

struct ConnectionCore {
    Handle environment;
    Handle connection;
    // A statement handle kept between statements that return no rows: allocating one per
    // INSERT would cost as much as a good part of the INSERT itself.
    Handle spareStatement;
    bool open = false;
    std::vector<std::weak_ptr<StatementCore>> statements;
    std::optional<bool> getDataOnBound;

    // Whether SQLGetData may read a bound column again (SQL_GD_BOUND), asked once.
    bool boundValuesRereadable()
    {
        if (!getDataOnBound) {
            SQLUINTEGER extensions = 0;
            const SQLRETURN rc = SQLGetInfoW(connection.get(), SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr);
            getDataOnBound = Succeeded(rc) && (extensions & SQL_GD_BOUND) != 0;
        }
        return *getDataOnBound;
    }

    // Statements go before the link: a disconnect with open statements is refused by some drivers.
    void closeStatements()
    {
        spareStatement.reset();
        for (auto& weak : statements)
            if (auto statement = weak.lock())
                statement->statement.reset();
        statements.clear();
    }

    ~ConnectionCore()
    {
        closeStatements();
        if (open)
            SQLDisconnect(connection.get());
    }
};

} // namespace oracle::detail
