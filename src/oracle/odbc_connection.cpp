#include "oracle/odbc_connection.h"

#include "oracle/database_error.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide characters must be UTF-16 code units");

namespace oracle {

namespace {

const QString kClosedText = QStringLiteral("Operation is not allowed when the object is closed.");
const QString kNoCurrentRowText = QStringLiteral(
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.");

bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

const SQLWCHAR* wide(const QString& text) { return reinterpret_cast<const SQLWCHAR*>(text.utf16()); }

// Copies the UTF-16 units as they are: QString::fromUtf16 would take a leading U+FEFF or U+FFFE
// for a byte-order mark, dropping it or swapping the bytes of the whole value.
QString fromWide(const SQLWCHAR* text, qsizetype length)
{
    return QString(reinterpret_cast<const QChar*>(text), length);
}

// Every diagnostic record of a handle, joined, as the driver wrote them.
DatabaseError diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, const QString& fallback)
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
        if (!succeeded(rc))
            break;
        QString text;
        if (length >= SQLSMALLINT(std::size(message))) {
            std::vector<SQLWCHAR> longer(size_t(length) + 1);
            SQLGetDiagRecW(handleType, handle, record, state, &nativeError, longer.data(),
                           SQLSMALLINT(longer.size()), &length);
            text = fromWide(longer.data(), length);
        } else {
            text = fromWide(message, length);
        }
        if (firstState.isEmpty()) {
            firstState = fromWide(state, 5);
            firstNative = int(nativeError);
        }
        messages << text;
    }
    if (messages.isEmpty())
        return DatabaseError(fallback, QStringLiteral("HY000"));
    return DatabaseError(messages.join(QLatin1Char('\n')), firstState, firstNative);
}

// Owns one ODBC handle.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE parent, const QString& what) : type_(type)
    {
        if (!succeeded(SQLAllocHandle(type, parent, &handle_))) {
            handle_ = SQL_NULL_HANDLE;
            throw parent ? diagnostics(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent, what)
                         : DatabaseError(what, QStringLiteral("HY001"));
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : type_(other.type_), handle_(std::exchange(other.handle_, SQLHANDLE(SQL_NULL_HANDLE))) {}
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other) {
            reset();
            type_ = other.type_;
            handle_ = std::exchange(other.handle_, SQLHANDLE(SQL_NULL_HANDLE));
        }
        return *this;
    }
    ~Handle() { reset(); }
    void reset()
    {
        if (handle_ != SQL_NULL_HANDLE)
            SQLFreeHandle(type_, handle_);
        handle_ = SQL_NULL_HANDLE;
    }
    SQLHANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

} // namespace

namespace detail {

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
            getDataOnBound = succeeded(rc) && (extensions & SQL_GD_BOUND) != 0;
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

} // namespace detail

// ----------------------------------------------------------------------------------------------
// ResultSet

// A column read through a buffer bound to it, filled by each fetch.
struct BoundColumn {
    std::vector<SQLWCHAR> text;  // text columns
    unsigned char bit = 0;       // Boolean columns
    SQLLEN indicator = 0;
};

struct ResultSet::State {
    std::shared_ptr<detail::ConnectionCore> connection;  // keeps the link alive while rows are read
    std::shared_ptr<detail::StatementCore> statement;      // null once fully fetched or closed
    std::vector<ColumnInfo> columns;
    std::vector<BoundColumn> bound;                         // the leading columns, read by SQLFetch itself
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

bool ResultSet::isOpen() const { return state_ && !state_->closed; }

void ResultSet::requireOpen() const
{
    if (!isOpen())
        throw DatabaseError(kClosedText, QStringLiteral("HY010"));
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
        if (!succeeded(rc))
            throw diagnostics(SQL_HANDLE_STMT, statement, QStringLiteral("Could not read a value."));
        if (indicator == SQL_NULL_DATA)
            return false;
        const bool truncated = indicator == SQL_NO_TOTAL || indicator > capacityBytes - terminatorBytes;
        append(truncated ? capacityBytes - terminatorBytes : indicator);
        if (rc == SQL_SUCCESS)
            return true;
    }
}

// Reads one column of the current row, piece by piece when it is longer than the buffer.
FieldValue readColumn(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_BIT: {
        unsigned char bit = 0;
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement, number, SQL_C_BIT, &bit, sizeof bit, &indicator);
        if (!succeeded(rc))
            throw diagnostics(SQL_HANDLE_STMT, statement, QStringLiteral("Could not read a value."));
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
                        [&](SQLLEN pieceBytes) { text.append(fromWide(buffer, pieceBytes / unit)); }))
            return FieldValue::null();
        return FieldValue::fromText(text);
    }
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

// Short columns are bound, so one fetch fills them all instead of a call per value; long and
// binary ones are read piece by piece after them (unbound columns must follow the bound ones).
std::vector<BoundColumn> bindLeadingColumns(SQLHSTMT statement, const std::vector<ColumnInfo>& columns,
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
        if (!succeeded(rc)) {
            SQLFreeStmt(statement, SQL_UNBIND);
            return {};
        }
    }
    return bound;
}

} // namespace

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
        throw DatabaseError(kClosedText, QStringLiteral("HY010"));
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
        if (!succeeded(rc))
            throw diagnostics(SQL_HANDLE_STMT, statement, QStringLiteral("Could not fetch a row."));
        s.current.resize(s.columns.size());
        for (size_t i = 0; i < s.bound.size(); ++i) {
            const BoundColumn& column = s.bound[i];
            if (column.indicator == SQL_NULL_DATA) {
                s.current[i] = FieldValue::null();
            } else if (s.columns[i].sqlType == SQL_BIT) {
                s.current[i] = FieldValue::fromBoolean(column.bit != 0);
            } else {
                const size_t capacity = column.text.size() - 1;
                if (column.indicator == SQL_NO_TOTAL || size_t(column.indicator) / sizeof(SQLWCHAR) > capacity)
                    // Longer than its buffer: the driver gives the whole value again on request.
                    s.current[i] = readColumn(statement, SQLUSMALLINT(i + 1), s.columns[i].sqlType);
                else
                    s.current[i] = FieldValue::fromText(fromWide(column.text.data(), column.indicator / SQLLEN(sizeof(SQLWCHAR))));
            }
        }
        for (size_t i = s.bound.size(); i < s.columns.size(); ++i)
            s.current[i] = readColumn(statement, SQLUSMALLINT(i + 1), s.columns[i].sqlType);
    } catch (...) {
        // A row that cannot be read ends the result: a walk over it must come to an end.
        s.current.clear();
        s.atEnd = true;
        s.statement.reset();
        throw;
    }
}

// ----------------------------------------------------------------------------------------------
// Connection

Connection::Connection() = default;

Connection::~Connection() = default;

bool Connection::isOpen() const { return core_ && core_->open; }

void Connection::open(const QString& connectionString)
{
    if (isOpen())
        throw DatabaseError(QStringLiteral("Operation is not allowed when the object is open."), QStringLiteral("08002"));
    auto core = std::make_shared<detail::ConnectionCore>();
    core->environment = Handle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, QStringLiteral("Could not set up ODBC."));
    SQLSetEnvAttr(core->environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    core->connection = Handle(SQL_HANDLE_DBC, core->environment.get(), QStringLiteral("Could not set up ODBC."));
    SQLWCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(core->connection.get(), nullptr, const_cast<SQLWCHAR*>(wide(connectionString)),
                                           SQL_NTS, completed, SQLSMALLINT(std::size(completed)), &completedLength,
                                           SQL_DRIVER_NOPROMPT);
    if (!succeeded(rc))
        throw ConnectFailure(diagnostics(SQL_HANDLE_DBC, core->connection.get(), QStringLiteral("Could not connect.")));
    core->open = true;
    core_ = std::move(core);
}

ResultSet Connection::execute(const QString& sql)
{
    if (!isOpen())
        throw DatabaseError(kClosedText, QStringLiteral("08003"));
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
    const SQLRETURN rc = SQLExecDirectW(handle, const_cast<SQLWCHAR*>(wide(sql)), SQLINTEGER(sql.size()));
    if (!succeeded(rc) && rc != SQL_NO_DATA) {
        DatabaseError error = diagnostics(SQL_HANDLE_STMT, handle, QStringLiteral("The statement failed."));
        keepForNextStatement();
        throw error;
    }

    SQLSMALLINT columnCount = 0;
    if (!succeeded(SQLNumResultCols(handle, &columnCount)))
        throw diagnostics(SQL_HANDLE_STMT, handle, QStringLiteral("The statement failed."));
    ResultSet result;
    if (columnCount <= 0) {
        keepForNextStatement();
        return result;
    }

    result.state_ = std::make_unique<ResultSet::State>();
    ResultSet::State& s = *result.state_;
    s.connection = core_;
    std::vector<SQLULEN> sizes;
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(columnCount); ++i) {
        SQLWCHAR name[256];
        SQLSMALLINT nameLength = 0, dataType = 0, decimals = 0, nullable = 0;
        SQLULEN size = 0;
        if (!succeeded(SQLDescribeColW(handle, i, name, SQLSMALLINT(std::size(name)), &nameLength, &dataType, &size,
                                       &decimals, &nullable)))
            throw diagnostics(SQL_HANDLE_STMT, handle, QStringLiteral("Could not describe a column."));
        s.columns.push_back({fromWide(name, std::min<qsizetype>(nameLength, qsizetype(std::size(name)) - 1)), dataType});
        sizes.push_back(size);
    }
    s.bound = bindLeadingColumns(handle, s.columns, sizes, core_->boundValuesRereadable());
    s.statement = statement;
    core_->statements.push_back(statement);

    if (cursorLocation_ == CursorLocation::Client) {
        // Fetch everything now so the row count is exact, then serve rows from memory.
        for (result.fetch(); !s.atEnd; result.fetch())
            s.fetched.push_back(std::move(s.current));
        s.clientCursor = true;
        s.atEnd = false;
        s.fetchedPosition = 0;
    }
    result.fetch();
    return result;
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
