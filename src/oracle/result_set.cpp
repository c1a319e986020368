#include "oracle/connection.h"

#include "oracle/odbc_handle.h"

#include <QByteArray>
#include <algorithm>
#include <iterator>
#include <utility>

namespace oracle {

using detail::FromWide;
using detail::Succeeded;

namespace {

const QString kNoCurrentRowText = QStringLiteral(
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.");

} // namespace

struct ResultSet::State {
    std::shared_ptr<detail::ConnectionCore> connection;  // keeps the link alive while rows are read
    std::shared_ptr<detail::StatementCore> statement;      // null once fully fetched or closed
    std::vector<ColumnInfo> columns;
    std::vector<detail::BoundColumn> bound;                 // the leading columns, read by SQLFetch itself
    std::vector<FieldValue> current;
    std::vector<std::vector<FieldValue>> fetched;           // client-side cursor rows
    size_t fetchedPosition = 0;
    bool clientCursor = false;
    bool atEnd = false;
    bool closed = false;
};

ResultSet::ResultSet() = default;
ResultSet::ResultSet(ResultSet&&) noexcept = default;
ResultSet& ResultSet::operator=(ResultSet&&) noexcept = default;
ResultSet::~ResultSet() = default;

ResultSet::ResultSet(std::shared_ptr<detail::ConnectionCore> connection,
                     const std::shared_ptr<detail::StatementCore>& statement, int columnCount, bool clientCursor)
    : state_(std::make_unique<State>())
{
    State& s = *state_;
    s.connection = std::move(connection);
    SQLHSTMT handle = statement->statement.get();
    std::vector<SQLULEN> sizes;
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(columnCount); ++i) {
        SQLWCHAR name[256];
        SQLSMALLINT nameLength = 0, dataType = 0, decimals = 0, nullable = 0;
        SQLULEN size = 0;
        if (!Succeeded(SQLDescribeColW(handle, i, name, SQLSMALLINT(std::size(name)), &nameLength, &dataType, &size,
                                       &decimals, &nullable)))
            throw detail::Diagnostics(SQL_HANDLE_STMT, handle, QStringLiteral("Could not describe a column."));
        s.columns.push_back({FromWide(name, std::min<qsizetype>(nameLength, qsizetype(std::size(name)) - 1)), dataType});
        sizes.push_back(size);
    }
    s.bound = detail::BindLeadingColumns(handle, s.columns, sizes, s.connection->boundValuesRereadable());
    s.statement = statement;
    s.connection->statements.push_back(statement);

    if (clientCursor) {
        // Fetch everything now so the row count is exact, then serve rows from memory.
        for (fetch(); !s.atEnd; fetch())
            s.fetched.push_back(std::move(s.current));
        s.clientCursor = true;
        s.atEnd = false;
        s.fetchedPosition = 0;
    }
    fetch();
}

bool ResultSet::isOpen() const { return state_ && !state_->closed; }

void ResultSet::requireOpen() const
{
    if (!isOpen())
        throw DatabaseError(detail::kClosedText, QStringLiteral("HY010"));
}

bool ResultSet::eof() const
{
    requireOpen();
    return state_->atEnd;
}

void ResultSet::moveNext()
{
    requireOpen();
    if (state_->atEnd)
        throw DatabaseError(kNoCurrentRowText, QStringLiteral("HY109"));
    fetch();
}

int ResultSet::fieldCount() const
{
    requireOpen();
    return int(state_->columns.size());
}

const ColumnInfo& ResultSet::column(int index) const
{
    requireOpen();
    if (index < 0 || size_t(index) >= state_->columns.size())
        throw DatabaseError(QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                           "name or ordinal."),
                            QStringLiteral("07009"));
    return state_->columns[size_t(index)];
}

const FieldValue& ResultSet::value(int index) const
{
    column(index);
    if (state_->atEnd)
        throw DatabaseError(kNoCurrentRowText, QStringLiteral("HY109"));
    return state_->current[size_t(index)];
}

const std::vector<FieldValue>& ResultSet::row() const
{
    value(0);
    return state_->current;
}

long long ResultSet::recordCount() const
{
    requireOpen();
    return state_->clientCursor ? static_cast<long long>(state_->fetched.size()) : -1;
}

void ResultSet::close()
{
    requireOpen();
    state_->statement.reset();
    state_->fetched.clear();
    state_->current.clear();
    state_->closed = true;
}

void ResultSet::fetch()
{
    State& s = *state_;
    if (s.clientCursor) {
        if (s.fetchedPosition < s.fetched.size()) {
            s.current = std::move(s.fetched[s.fetchedPosition++]);
        } else {
            s.current.clear();
            s.atEnd = true;
        }
        return;
    }
    if (!s.statement || !s.statement->statement)
        throw DatabaseError(detail::kClosedText, QStringLiteral("HY010"));
    SQLHSTMT statement = s.statement->statement.get();
    const SQLRETURN rc = SQLFetch(statement);
    if (rc == SQL_NO_DATA) {
        s.current.clear();
        s.atEnd = true;
        // Let go of the statement at once: the source may be the very database the run writes to.
        s.statement.reset();
        return;
    }
    try {
        if (!Succeeded(rc))
            throw detail::Diagnostics(SQL_HANDLE_STMT, statement, QStringLiteral("Could not fetch a row."));
        s.current.resize(s.columns.size());
        for (size_t i = 0; i < s.bound.size(); ++i) {
            const detail::BoundColumn& column = s.bound[i];
            if (column.indicator == SQL_NULL_DATA) {
                s.current[i] = FieldValue::null();
            } else if (s.columns[i].sqlType == SQL_BIT) {
                s.current[i] = FieldValue::fromBoolean(column.bit != 0);
            } else {
                const size_t capacity = column.text.size() - 1;
                if (column.indicator == SQL_NO_TOTAL || size_t(column.indicator) / sizeof(SQLWCHAR) > capacity)
                    // Longer than its buffer: the driver gives the whole value again on request.
                    s.current[i] = detail::ReadColumn(statement, SQLUSMALLINT(i + 1), s.columns[i].sqlType);
                else
                    s.current[i] = FieldValue::fromText(FromWide(column.text.data(), column.indicator / SQLLEN(sizeof(SQLWCHAR))));
            }
        }
        for (size_t i = s.bound.size(); i < s.columns.size(); ++i)
            s.current[i] = detail::ReadColumn(statement, SQLUSMALLINT(i + 1), s.columns[i].sqlType);
    } catch (...) {
        // A row that cannot be read ends the result: a walk over it must come to an end.
        s.current.clear();
        s.atEnd = true;
        s.statement.reset();
        throw;
    }
}

} // namespace oracle

namespace oracle::detail {

namespace {

// The pieces a long value (CLOB, BLOB, LONG) is read in.
constexpr size_t kLongPieceBytes = size_t(128) << 10;

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
        // Long values (a BLOB of megabytes) come in large pieces, short ones without an allocation.
        QByteArray bytes;
        char small[4096];
        std::vector<char> large(sqlType == SQL_LONGVARBINARY ? kLongPieceBytes : 0);
        char* buffer = large.empty() ? small : large.data();
        const SQLLEN capacity = large.empty() ? SQLLEN(sizeof small) : SQLLEN(large.size());
        if (!readPieces(statement, number, SQL_C_BINARY, buffer, capacity, 0,
                        [&](SQLLEN pieceBytes) { bytes.append(buffer, pieceBytes); }))
            return FieldValue::null();
        return FieldValue::fromBytes(bytes);
    }
    default: {
        QString text;
        SQLWCHAR small[512];
        const bool longText = sqlType == SQL_WLONGVARCHAR || sqlType == SQL_LONGVARCHAR;
        std::vector<SQLWCHAR> large(longText ? kLongPieceBytes / sizeof(SQLWCHAR) : 0);
        SQLWCHAR* buffer = large.empty() ? small : large.data();
        constexpr SQLLEN unit = SQLLEN(sizeof(SQLWCHAR));
        const SQLLEN capacity = large.empty() ? SQLLEN(sizeof small) : SQLLEN(large.size()) * unit;
        if (!readPieces(statement, number, SQL_C_WCHAR, buffer, capacity, unit,
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
