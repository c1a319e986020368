#include "oracle/connection.h"

#include "oracle/odbc_handle.h"

#include <QStringList>

#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

namespace oracle {

using detail::Handle;
using detail::Succeeded;
using detail::Wide;

Connection::Connection() = default;

Connection::~Connection() = default;

bool Connection::isOpen() const { return core_ && core_->open; }

void Connection::open(const QString& connectionString)
{
    if (isOpen())
        throw DatabaseError(QStringLiteral("Operation is not allowed when the object is open."), QStringLiteral("08002"));
    auto core = std::make_shared<detail::ConnectionCore>();
    core->environment = detail::OdbcEnvironment();
    core->connection = Handle(SQL_HANDLE_DBC, core->environment.get(), QStringLiteral("Could not set up ODBC."));
    SQLWCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(core->connection.get(), nullptr, const_cast<SQLWCHAR*>(Wide(connectionString)),
                                           SQL_NTS, completed, SQLSMALLINT(std::size(completed)), &completedLength,
                                           SQL_DRIVER_NOPROMPT);
    if (!Succeeded(rc))
        throw ConnectFailure(detail::Diagnostics(SQL_HANDLE_DBC, core->connection.get(), QStringLiteral("Could not connect.")));
    core->open = true;
    core_ = std::move(core);
}

ResultSet Connection::execute(const QString& sql)
{
    if (!isOpen())
        throw DatabaseError(detail::kClosedText, QStringLiteral("08003"));
    auto statement = std::make_shared<detail::StatementCore>();
    statement->statement = core_->spareStatement
        ? std::move(core_->spareStatement)
        : Handle(SQL_HANDLE_STMT, core_->connection.get(), QStringLiteral("Could not run a statement."));
    SQLHSTMT handle = statement->statement.get();
    // Hands the handle back for the next statement once this one has given all it has.
    auto keepForNextStatement = [&] {
        SQLFreeStmt(handle, SQL_CLOSE);
        core_->spareStatement = std::move(statement->statement);
    };
    // The length, not a terminator, ends the text: a NUL inside must not cut the statement.
    const SQLRETURN rc = SQLExecDirectW(handle, const_cast<SQLWCHAR*>(Wide(sql)), SQLINTEGER(sql.size()));
    if (!Succeeded(rc) && rc != SQL_NO_DATA) {
        DatabaseError error = detail::Diagnostics(SQL_HANDLE_STMT, handle, QStringLiteral("The statement failed."));
        keepForNextStatement();
        throw error;
    }

    SQLSMALLINT columnCount = 0;
    if (!Succeeded(SQLNumResultCols(handle, &columnCount)))
        throw detail::Diagnostics(SQL_HANDLE_STMT, handle, QStringLiteral("The statement failed."));
    if (columnCount <= 0) {
        keepForNextStatement();
        return ResultSet();
    }
    return ResultSet(core_, statement, columnCount, cursorLocation_ == CursorLocation::Client);
}

void Connection::setAutoCommit(bool on)
{
    if (!isOpen())
        throw DatabaseError(detail::kClosedText, QStringLiteral("08003"));
    const SQLULEN value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    if (!Succeeded(SQLSetConnectAttrW(core_->connection.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value), 0)))
        throw detail::Diagnostics(SQL_HANDLE_DBC, core_->connection.get(), QStringLiteral("Could not change the commit mode."));
    core_->manualCommit = !on;
}

void Connection::commit()
{
    if (!isOpen())
        throw DatabaseError(detail::kClosedText, QStringLiteral("08003"));
    core_->endTransaction(SQL_COMMIT);
}

void Connection::rollback()
{
    if (!isOpen())
        throw DatabaseError(detail::kClosedText, QStringLiteral("08003"));
    core_->endTransaction(SQL_ROLLBACK);
}

void Connection::close()
{
    if (!isOpen())
        return;
    core_->closeStatements();
    core_->rollBackOpenChanges();
    SQLDisconnect(core_->connection.get());
    core_->open = false;
    core_.reset();
}

} // namespace oracle

namespace oracle::detail {

DatabaseError Diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const QString& fallback)
{
    QStringList messages;
    QString firstState;
    int firstNative = 0;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLWCHAR message[1024];
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(handleType, handle, record, state, &nativeError, message,
                                            SQLSMALLINT(std::size(message)), &length);
        if (!Succeeded(rc))
            break;
        QString text;
        if (length >= SQLSMALLINT(std::size(message))) {
            std::vector<SQLWCHAR> longer(size_t(length) + 1);
            SQLGetDiagRecW(handleType, handle, record, state, &nativeError, longer.data(),
                           SQLSMALLINT(longer.size()), &length);
            text = FromWide(longer.data(), length);
        } else {
            text = FromWide(message, length);
        }
        if (firstState.isEmpty()) {
            firstState = FromWide(state, 5);
            firstNative = int(nativeError);
        }
        messages << text;
    }
    if (messages.isEmpty())
        return DatabaseError(fallback, QStringLiteral("HY000"));
    return DatabaseError(messages.join(QLatin1Char('\n')), firstState, firstNative);
}

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent, const QString& what) : type_(type)
{
    if (!Succeeded(SQLAllocHandle(type, parent, &handle_))) {
        handle_ = SQL_NULL_HANDLE;
        throw parent ? Diagnostics(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent, what)
                     : DatabaseError(what, QStringLiteral("HY001"));
    }
}

Handle::Handle(Handle&& other) noexcept
    : type_(other.type_), handle_(std::exchange(other.handle_, SQLHANDLE(SQL_NULL_HANDLE)))
{
}

Handle& Handle::operator=(Handle&& other) noexcept
{
    if (this != &other) {
        reset();
        type_ = other.type_;
        handle_ = std::exchange(other.handle_, SQLHANDLE(SQL_NULL_HANDLE));
    }
    return *this;
}

Handle OdbcEnvironment()
{
    Handle environment(SQL_HANDLE_ENV, SQL_NULL_HANDLE, QStringLiteral("Could not set up ODBC."));
    // The version travels in the pointer argument itself.
    SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION,
                  reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(SQL_OV_ODBC3)), 0);
    return environment;
}

void Handle::reset()
{
    if (handle_ != SQL_NULL_HANDLE)
        SQLFreeHandle(type_, handle_);
    handle_ = SQL_NULL_HANDLE;
}

} // namespace oracle::detail
