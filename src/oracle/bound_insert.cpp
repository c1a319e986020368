#include "oracle/bound_insert.h"

#include "oracle/connection.h"
#include "oracle/odbc_handle.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <cstring>
#include <optional>

namespace oracle {

using detail::Succeeded;

namespace {

// How a column's values are bound, by the SQL type the source gave it.
enum class Form { Text, Bytes, Timestamp, Date, LongText, LongBytes };

Form formOf(short sqlType)
{
    switch (sqlType) {
    case SQL_WLONGVARCHAR:
    case SQL_LONGVARCHAR:
        return Form::LongText;
    case SQL_LONGVARBINARY:
        return Form::LongBytes;
    case SQL_BINARY:
    case SQL_VARBINARY:
        return Form::Bytes;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return Form::Timestamp;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return Form::Date;
    default:
        return Form::Text;
    }
}

// Long values go to the driver in pieces of about this many bytes.
constexpr qsizetype kPieceBytes = qsizetype(256) << 10;

// Reads "YYYY-MM-DD[ HH:MM:SS[.fffffffff]]", the form every ODBC driver writes dates and
// timestamps in as text. False for anything else.
bool parseTimestamp(QByteArrayView text, SQL_TIMESTAMP_STRUCT& value)
{
    const auto digits = [&](qsizetype from, qsizetype count, auto& into) {
        if (from + count > text.size())
            return false;
        long long number = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            number = number * 10 + (text[i] - '0');
        }
        into = static_cast<std::remove_reference_t<decltype(into)>>(number);
        return true;
    };
    value = {};
    if (!digits(0, 4, value.year) || text.size() < 10 || text[4] != '-' || !digits(5, 2, value.month) || text[7] != '-'
        || !digits(8, 2, value.day))
        return false;
    if (text.size() == 10)
        return true;
    if (text.size() < 19 || text[10] != ' ' || !digits(11, 2, value.hour) || text[13] != ':'
        || !digits(14, 2, value.minute) || text[16] != ':' || !digits(17, 2, value.second))
        return false;
    if (text.size() == 19)
        return true;
    const qsizetype fractionDigits = text.size() - 20;
    if (text[19] != '.' || fractionDigits < 1 || fractionDigits > 9 || !digits(20, fractionDigits, value.fraction))
        return false;
    for (qsizetype i = fractionDigits; i < 9; ++i)
        value.fraction *= 10;  // nanoseconds
    return true;
}

// UTF-16 units of a UTF-8 text: one for each character, two for those beyond the first plane.
qsizetype utf16Length(QByteArrayView utf8)
{
    qsizetype units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

} // namespace

// One column's values for the rows of a batch: fixed-stride arrays the driver reads by itself,
// widened as longer values come; long values only as where they lie.
struct Column {
    Form form = Form::Text;
    std::vector<char16_t> units;  // Text: stride units an element, the last one a terminator's room
    std::vector<char> bytes;      // Bytes
    std::vector<SQL_TIMESTAMP_STRUCT> timestamps;
    std::vector<SQL_DATE_STRUCT> dates;
    std::vector<QByteArrayView> longValues;  // LongText (UTF-8), LongBytes
    std::vector<SQLLEN> indicators;
    qsizetype stride = 1;
    qsizetype longest = 1;  // the longest value of the batch, in units or bytes

    void resizeFor(int rows)
    {
        indicators.resize(size_t(rows), SQL_NULL_DATA);
        switch (form) {
        case Form::Text:
            units.resize(size_t(rows) * size_t(stride));
            break;
        case Form::Bytes:
            bytes.resize(size_t(rows) * size_t(stride));
            break;
        case Form::Timestamp:
            timestamps.resize(size_t(rows));
            break;
        case Form::Date:
            dates.resize(size_t(rows));
            break;
        case Form::LongText:
        case Form::LongBytes:
            longValues.resize(size_t(rows));
            break;
        }
    }

    // Makes every element hold at least `wanted` units or bytes, moving the elements already there.
    template <typename Element>
    static void widen(std::vector<Element>& data, qsizetype& stride, qsizetype wanted, int rows)
    {
        if (wanted <= stride)
            return;
        const qsizetype wider = std::max(wanted, stride * 2);
        std::vector<Element> moved(size_t(rows) * size_t(wider));
        for (int row = 0; row < rows; ++row)
            std::copy_n(data.begin() + row * stride, stride, moved.begin() + row * wider);
        data.swap(moved);
        stride = wider;
    }
};

struct BoundInsert::State {
    std::shared_ptr<detail::ConnectionCore> connection;
    detail::Handle statement;
    std::vector<Column> columns;
    int rows = 0;        // rows ended
    size_t current = 0;  // the column the next value goes to
    bool hasLong = false;
    std::optional<int> arrayLimit;  // the rows per execute the driver took when asked
    QStringDecoder decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};

    // Puts a value into the current row of the column: bytes, or text as UTF-8. A column takes
    // what it is given in its own form (bytes into a text column as the text they hold).
    void put(Column& column, QByteArrayView value, bool isBytes)
    {
        const int row = rows;
        SQLLEN& indicator = column.indicators[size_t(row)];
        // The empty text is NULL to Oracle, as its literal '' is.
        if (value.isEmpty()) {
            indicator = SQL_NULL_DATA;
            return;
        }
        switch (column.form) {
        case Form::Text: {
            // A UTF-8 text never takes more UTF-16 units than it has bytes.
            Column::widen(column.units, column.stride, value.size() + 1, row + 1);
            QChar* start = reinterpret_cast<QChar*>(column.units.data() + row * column.stride);
            const qsizetype units = decoder.appendToBuffer(start, value) - start;
            column.longest = std::max(column.longest, units);
            indicator = SQLLEN(units * qsizetype(sizeof(char16_t)));
            return;
        }
        case Form::Bytes:
            Column::widen(column.bytes, column.stride, value.size(), row + 1);
            std::memcpy(column.bytes.data() + row * column.stride, value.data(), size_t(value.size()));
            column.longest = std::max(column.longest, value.size());
            indicator = SQLLEN(value.size());
            return;
        case Form::Timestamp:
        case Form::Date: {
            SQL_TIMESTAMP_STRUCT timestamp;
            if (isBytes || !parseTimestamp(value, timestamp))
                throw DatabaseError(QStringLiteral("The value \"%1\" is not a date and time as ODBC writes them.")
                                        .arg(QString::fromUtf8(value.first(std::min<qsizetype>(64, value.size())))),
                                    QStringLiteral("22007"));
            if (column.form == Form::Timestamp)
                column.timestamps[size_t(row)] = timestamp;
            else
                column.dates[size_t(row)] = {timestamp.year, timestamp.month, timestamp.day};
            indicator = 0;
            return;
        }
        case Form::LongText:
        case Form::LongBytes: {
            column.longValues[size_t(row)] = value;
            column.longest = std::max(column.longest, value.size());
            const qsizetype size = column.form == Form::LongText ? utf16Length(value) * qsizetype(sizeof(char16_t)) : value.size();
            indicator = SQL_LEN_DATA_AT_EXEC(SQLLEN(size));
            return;
        }
        }
    }

    Column& next()
    {
        if (current >= columns.size())
            throw DatabaseError(QStringLiteral("The row has more values than the table has columns."), QStringLiteral("07002"));
        Column& column = columns[current++];
        column.resizeFor(rows + 1);
        return column;
    }

    [[noreturn]] void fail(const QString& fallback)
    {
        throw detail::Diagnostics(SQL_HANDLE_STMT, statement.get(), fallback);
    }

    void setAttribute(SQLINTEGER attribute, SQLULEN value)
    {
        if (!Succeeded(SQLSetStmtAttrW(statement.get(), attribute, reinterpret_cast<SQLPOINTER>(value), 0)))
            fail(QStringLiteral("Could not set up the statement's parameters."));
    }

    // Binds every column at the given row, for an execute of `count` rows from there.
    void bind(int row, int count)
    {
        setAttribute(SQL_ATTR_PARAMSET_SIZE, SQLULEN(count));
        for (size_t i = 0; i < columns.size(); ++i) {
            Column& column = columns[i];
            const auto number = SQLUSMALLINT(i + 1);
            SQLLEN* indicator = column.indicators.data() + row;
            SQLRETURN rc = SQL_SUCCESS;
            switch (column.form) {
            case Form::Text:
                rc = SQLBindParameter(statement.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                      SQLULEN(column.longest), 0, column.units.data() + row * column.stride,
                                      SQLLEN(column.stride * qsizetype(sizeof(char16_t))), indicator);
                break;
            case Form::Bytes:
                rc = SQLBindParameter(statement.get(), number, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_VARBINARY,
                                      SQLULEN(column.longest), 0, column.bytes.data() + row * column.stride,
                                      SQLLEN(column.stride), indicator);
                break;
            case Form::Timestamp:
                rc = SQLBindParameter(statement.get(), number, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 29, 9,
                                      column.timestamps.data() + row, SQLLEN(sizeof(SQL_TIMESTAMP_STRUCT)), indicator);
                break;
            case Form::Date:
                rc = SQLBindParameter(statement.get(), number, SQL_PARAM_INPUT, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0,
                                      column.dates.data() + row, SQLLEN(sizeof(SQL_DATE_STRUCT)), indicator);
                break;
            case Form::LongText:
            case Form::LongBytes: {
                // Sent at execution: the driver asks for the column by its number.
                const bool text = column.form == Form::LongText;
                rc = SQLBindParameter(statement.get(), number, SQL_PARAM_INPUT, text ? SQL_C_WCHAR : SQL_C_BINARY,
                                      text ? SQL_WLONGVARCHAR : SQL_LONGVARBINARY, SQLULEN(std::max<qsizetype>(column.longest, 1)),
                                      0, reinterpret_cast<SQLPOINTER>(std::uintptr_t(number)), 0, indicator);
                break;
            }
            }
            if (!Succeeded(rc))
                fail(QStringLiteral("Could not bind a value."));
        }
    }

    // Hands the driver a long value in pieces, when it asks for it.
    void putLongValue(const Column& column, int row)
    {
        const QByteArrayView value = column.longValues[size_t(row)];
        SQLHSTMT handle = statement.get();
        auto put = [&](const void* data, qsizetype size) {
            if (!Succeeded(SQLPutData(handle, const_cast<void*>(data), SQLLEN(size))))
                fail(QStringLiteral("Could not send a value."));
        };
        if (column.form == Form::LongBytes) {
            for (qsizetype from = 0; from < value.size(); from += kPieceBytes)
                put(value.data() + from, std::min(kPieceBytes, value.size() - from));
            return;
        }
        // The decoder keeps a character cut between two pieces for the next one.
        QStringDecoder pieces(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        std::vector<char16_t> buffer(size_t(kPieceBytes) + 1);
        for (qsizetype from = 0; from < value.size(); from += kPieceBytes) {
            const QByteArrayView piece = value.sliced(from, std::min(kPieceBytes, value.size() - from));
            QChar* start = reinterpret_cast<QChar*>(buffer.data());
            const qsizetype units = pieces.appendToBuffer(start, piece) - start;
            if (units > 0)
                put(buffer.data(), units * qsizetype(sizeof(char16_t)));
        }
    }

    // Executes what is bound, sending long values as the driver asks for them. The driver's
    // return code; on a failure its diagnostics are still on the statement.
    SQLRETURN execute(int row)
    {
        SQLHSTMT handle = statement.get();
        SQLRETURN rc = SQLExecute(handle);
        while (rc == SQL_NEED_DATA) {
            SQLPOINTER token = nullptr;
            rc = SQLParamData(handle, &token);
            if (rc != SQL_NEED_DATA)
                break;
            const auto number = size_t(reinterpret_cast<std::uintptr_t>(token));
            if (number < 1 || number > columns.size())
                fail(QStringLiteral("The driver asked for a value that was not sent at execution."));
            try {
                putLongValue(columns[number - 1], row);
            } catch (...) {
                // The statement would otherwise wait for the rest of its data.
                SQLCancel(handle);
                throw;
            }
        }
        return rc;
    }
};

BoundInsert::BoundInsert(Connection& connection, const QString& sql, const std::vector<short>& sqlTypes)
    : state_(std::make_unique<State>())
{
    if (!connection.isOpen())
        throw DatabaseError(detail::kClosedText, QStringLiteral("08003"));
    State& s = *state_;
    s.connection = connection.core_;
    s.statement = detail::Handle(SQL_HANDLE_STMT, s.connection->connection.get(), QStringLiteral("Could not run a statement."));
    for (const short type : sqlTypes) {
        Column& column = s.columns.emplace_back();
        column.form = formOf(type);
        s.hasLong = s.hasLong || column.form == Form::LongText || column.form == Form::LongBytes;
    }
    if (!Succeeded(SQLPrepareW(s.statement.get(), const_cast<SQLWCHAR*>(detail::Wide(sql)), SQLINTEGER(sql.size()))))
        s.fail(QStringLiteral("The statement failed."));
    s.setAttribute(SQL_ATTR_PARAM_BIND_TYPE, SQL_PARAM_BIND_BY_COLUMN);
}

BoundInsert::~BoundInsert() = default;

int BoundInsert::rowsPerExecute(int wanted)
{
    State& s = *state_;
    if (s.hasLong || wanted <= 1)
        return 1;
    if (!s.arrayLimit) {
        // A driver without arrays says so by keeping its own value (01S02) or refusing the size.
        SQLULEN taken = 1;
        if (Succeeded(SQLSetStmtAttrW(s.statement.get(), SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(wanted)), 0)))
            SQLGetStmtAttrW(s.statement.get(), SQL_ATTR_PARAMSET_SIZE, &taken, 0, nullptr);
        s.arrayLimit = int(std::clamp<SQLULEN>(taken, 1, SQLULEN(wanted)));
    }
    return std::min(*s.arrayLimit, wanted);
}

void BoundInsert::addNull()
{
    State& s = *state_;
    s.next().indicators[size_t(s.rows)] = SQL_NULL_DATA;
}

void BoundInsert::addBoolean(bool value)
{
    addText(value ? QByteArrayView("1") : QByteArrayView("0"));
}

void BoundInsert::addBytes(QByteArrayView bytes)
{
    State& s = *state_;
    s.put(s.next(), bytes, true);
}

void BoundInsert::addText(QByteArrayView utf8)
{
    State& s = *state_;
    s.put(s.next(), utf8, false);
}

void BoundInsert::startRow() { state_->current = 0; }

void BoundInsert::endRow()
{
    State& s = *state_;
    // Columns the row gave no value for are NULL.
    while (s.current < s.columns.size())
        addNull();
    ++s.rows;
    s.current = 0;
}

int BoundInsert::rowCount() const { return state_->rows; }

std::size_t BoundInsert::boundBytes() const
{
    std::size_t bytes = 0;
    for (const Column& column : state_->columns)
        bytes += column.units.size() * sizeof(char16_t) + column.bytes.size() + column.indicators.size() * sizeof(SQLLEN)
            + (column.timestamps.size() + column.dates.size()) * sizeof(SQL_TIMESTAMP_STRUCT);
    return bytes;
}

void BoundInsert::clearRows()
{
    State& s = *state_;
    s.rows = 0;
    s.current = 0;
    // Each batch sizes its arrays to its own values; the memory stays for the next.
    for (Column& column : s.columns) {
        column.longest = 1;
        column.stride = 1;
        column.units.clear();
        column.bytes.clear();
        column.indicators.clear();
        column.longValues.clear();
    }
}

bool BoundInsert::tryExecuteAll()
{
    State& s = *state_;
    s.current = 0;
    if (s.rows == 0)
        return true;
    s.bind(0, s.rows);
    // Only a plain success says every row went in: with a warning, some rows of an array may
    // have failed, and what a driver says of each row is not to be trusted.
    const SQLRETURN rc = s.execute(0);
    if (rc == SQL_SUCCESS)
        return true;
    if (!Succeeded(rc) && rc != SQL_NO_DATA) {
        // A connection that is gone takes no row again: that failure is the caller's to report.
        DatabaseError error = detail::Diagnostics(SQL_HANDLE_STMT, s.statement.get(), QStringLiteral("The statement failed."));
        if (error.reach() == platform::FailureReach::Operation)
            throw error;
    }
    return false;
}

void BoundInsert::executeRow(int row)
{
    State& s = *state_;
    s.current = 0;
    s.bind(row, 1);
    const SQLRETURN rc = s.execute(row);
    if (!Succeeded(rc) && rc != SQL_NO_DATA)
        s.fail(QStringLiteral("The statement failed."));
}

} // namespace oracle
