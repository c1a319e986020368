#include "oracle/column_reading.h"

#include <QByteArray>

#include <algorithm>

namespace oracle::detail {

namespace {

// Reads a value piece by piece into the buffer, handing each piece to append. Text pieces that
// fill the buffer leave room for a terminating zero (terminatorBytes). False when the value is null.
template <typename Append>
bool readPieces(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT cType, void* buffer, SQLLEN capacityBytes,
                SQLLEN terminatorBytes, Append append)
{
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement, number, cType, buffer, capacityBytes, &indicator);
        if (rc == SQL_NO_DATA)
            return true;
        if (!Succeeded(rc))
            throw Diagnostics(SQL_HANDLE_STMT, statement, QStringLiteral("Could not read a value."));
        if (indicator == SQL_NULL_DATA)
            return false;
        const bool truncated = indicator == SQL_NO_TOTAL || indicator > capacityBytes - terminatorBytes;
        append(truncated ? capacityBytes - terminatorBytes : indicator);
        if (rc == SQL_SUCCESS)
            return true;
    }
}

// Text units a bound buffer needs for the longest text the column's type can produce, or 0 when
// the type has no such bound and the column is read piece by piece instead.
size_t boundTextUnits(SQLSMALLINT type, SQLULEN size, bool sizesMayBeExceeded)
{
    switch (type) {
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIGINT:
        // Written out in full, an Oracle NUMBER of 1E-130 takes 132 characters, and a binary double
        // far more: its described size (digits of precision) says nothing about its text.
        return 512;
    case SQL_DATE:
    case SQL_TIME:
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
        return 128;
    default:
        // Character columns: up to two UTF-16 units a character. A driver that cannot give a bound
        // value again would lose one that outgrows its described size, so those are not bound.
        if (sizesMayBeExceeded || size == 0 || size > 4000)
            return 0;
        return std::max<size_t>(size_t(size) * 2, 64);
    }
}

} // namespace

FieldValue ReadColumn(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_BIT: {
        unsigned char bit = 0;
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement, number, SQL_C_BIT, &bit, sizeof bit, &indicator);
        if (!Succeeded(rc))
            throw Diagnostics(SQL_HANDLE_STMT, statement, QStringLiteral("Could not read a value."));
        return indicator == SQL_NULL_DATA ? FieldValue::null() : FieldValue::fromBoolean(bit != 0);
    }
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: {
        QByteArray bytes;
        char buffer[4096];
        if (!readPieces(statement, number, SQL_C_BINARY, buffer, SQLLEN(sizeof buffer), 0,
                        [&](SQLLEN pieceBytes) { bytes.append(buffer, pieceBytes); }))
            return FieldValue::null();
        return FieldValue::fromBytes(bytes);
    }
    default: {
        QString text;
        SQLWCHAR buffer[512];
        constexpr SQLLEN unit = SQLLEN(sizeof(SQLWCHAR));
        if (!readPieces(statement, number, SQL_C_WCHAR, buffer, SQLLEN(sizeof buffer), unit,
                        [&](SQLLEN pieceBytes) { text.append(FromWide(buffer, pieceBytes / unit)); }))
            return FieldValue::null();
        return FieldValue::fromText(text);
    }
    }
}

std::vector<BoundColumn> BindLeadingColumns(SQLHSTMT statement, const std::vector<ColumnInfo>& columns,
                                            const std::vector<SQLULEN>& sizes, bool boundValuesRereadable)
{
    std::vector<BoundColumn> bound;
    bound.reserve(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        const SQLSMALLINT type = columns[i].sqlType;
        const bool longOrBinary = type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || type == SQL_BINARY
            || type == SQL_VARBINARY || type == SQL_LONGVARBINARY;
        const size_t units = boundTextUnits(type, sizes[i], !boundValuesRereadable);
        if (longOrBinary || (type != SQL_BIT && units == 0))
            break;
        BoundColumn& column = bound.emplace_back();
        SQLRETURN rc;
        if (type == SQL_BIT) {
            rc = SQLBindCol(statement, SQLUSMALLINT(i + 1), SQL_C_BIT, &column.bit, 1, &column.indicator);
        } else {
            column.text.resize(units + 1);
            rc = SQLBindCol(statement, SQLUSMALLINT(i + 1), SQL_C_WCHAR, column.text.data(),
                            SQLLEN(column.text.size() * sizeof(SQLWCHAR)), &column.indicator);
        }
        if (!Succeeded(rc)) {
            SQLFreeStmt(statement, SQL_UNBIND);
            return {};
        }
    }
    return bound;
}

} // namespace oracle::detail
