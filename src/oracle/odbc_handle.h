#pragma once

// The ODBC calls' common ground, for the database layer's own files only: owned handles, the
// wide text the W entry points take and give, and the driver's diagnostics as a DatabaseError.

#include "oracle/database_error.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QString>

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

} // namespace oracle::detail
