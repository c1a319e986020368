#include "oracle/result_set.h"

#include "oracle/column_reading.h"
#include "oracle/odbc_cores.h"

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
