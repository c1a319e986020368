#include "oracle/odbc_handle.h"

#include <QStringList>

#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

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
