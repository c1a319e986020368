#include "oracle/connection.h"

#include "oracle/odbc_cores.h"

#include <iterator>
#include <utility>

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

void Connection::close()
{
    if (!isOpen())
        return;
    core_->closeStatements();
    SQLDisconnect(core_->connection.get());
    core_->open = false;
    core_.reset();
}

} // namespace oracle
