#pragma once

// The ODBC calls' common ground, for the database layer's own files only: owned handles, the
// wide text the W entry points take and give, the driver's diagnostics as a DatabaseError, what a
// connection and its statements share, and how a result set reads its columns.

#include "oracle/database_error.h"
#include "oracle/field_value.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QString>
#include <memory>
#include <optional>
#include <vector>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide characters must be UTF-16 code units");

namespace oracle::detail {

inline const QString kClosedText = QStringLiteral("Operation is not allowed when the object is closed.");

inline bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

inline const SQLWCHAR* Wide(const QString& text) { return reinterpret_cast<const SQLWCHAR*>(text.utf16()); }

// Copies the UTF-16 units as they are: QString::fromUtf16 would take a leading U+FEFF or U+FFFE
// for a byte-order mark, dropping it or swapping the bytes of the whole value.
inline QString FromWide(const SQLWCHAR* text, qsizetype length)
{
    return QString(reinterpret_cast<const QChar*>(text), length);
}

// Every diagnostic record of a handle, joined, as the driver wrote them.
DatabaseError Diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const QString& fallback);

// Owns one ODBC handle.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE parent, const QString& what);
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept;
    Handle& operator=(Handle&& other) noexcept;
    ~Handle() { reset(); }
    void reset();
    SQLHANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// A fresh ODBC 3 environment; throws DatabaseError when the driver manager cannot give one.
Handle OdbcEnvironment();

// What a connection and its statements share: a result set keeps its connection's core alive while
// it reads, and a closing connection closes the statements still open on it.
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
    bool manualCommit = false;  // autocommit is off: changes wait for a commit
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

    // Commits or rolls back the changes made since the last; throws DatabaseError.
    void endTransaction(SQLSMALLINT completion)
    {
        if (!Succeeded(SQLEndTran(SQL_HANDLE_DBC, connection.get(), completion)))
            throw Diagnostics(SQL_HANDLE_DBC, connection.get(),
                              completion == SQL_COMMIT ? QStringLiteral("Could not commit.") : QStringLiteral("Could not roll back."));
    }

    // Changes nobody committed go before the link does: a disconnect would refuse them (25000),
    // and a half-sent batch is not to be kept.
    void rollBackOpenChanges()
    {
        if (open && manualCommit)
            SQLEndTran(SQL_HANDLE_DBC, connection.get(), SQL_ROLLBACK);
        manualCommit = false;
    }

    ~ConnectionCore()
    {
        closeStatements();
        rollBackOpenChanges();
        if (open)
            SQLDisconnect(connection.get());
    }
};

// How a result set reads the columns of its rows: short columns through buffers bound to them,
// the others piece by piece.

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
