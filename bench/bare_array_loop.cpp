#include "bare_array_loop.h"

#include <QElapsedTimer>

#include <cstring>
#include <memory>
#include <sql.h>
#include <sqlext.h>
#include <vector>

namespace {

// One connection through the driver manager's W functions, with its environment.
class Link {
public:
    explicit Link(const QString& connectionString)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
        connected_ = SQL_SUCCEEDED(SQLDriverConnectW(dbc_, nullptr, (SQLWCHAR*)connectionString.utf16(), SQL_NTS, nullptr, 0,
                                                     nullptr, SQL_DRIVER_NOPROMPT));
    }
    ~Link()
    {
        if (connected_)
            SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    bool connected() const { return connected_; }
    SQLHDBC handle() const { return dbc_; }

private:
    SQLHENV env_ = nullptr;
    SQLHDBC dbc_ = nullptr;
    bool connected_ = false;
};

class Statement {
public:
    explicit Statement(const Link& link) { SQLAllocHandle(SQL_HANDLE_STMT, link.handle(), &stmt_); }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLHSTMT handle() const { return stmt_; }

private:
    SQLHSTMT stmt_ = nullptr;
};

// How a column is fetched and bound: dates and timestamps as ODBC timestamps to the nanosecond,
// everything else as UTF-16 text, as oracle::BoundInsert binds them.
struct ColumnForm {
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN columnSize = 0;
    SQLSMALLINT decimalDigits = 0;
    SQLLEN elementBytes = 0;
};

ColumnForm formOf(SQLSMALLINT describedType, SQLULEN describedSize)
{
    if (describedType == SQL_TYPE_TIMESTAMP || describedType == SQL_TIMESTAMP || describedType == SQL_TYPE_DATE)
        return {SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 29, 9, SQLLEN(sizeof(SQL_TIMESTAMP_STRUCT))};
    // A number's text may add a sign, a point and a leading zero to its digits.
    const bool number = describedType == SQL_DECIMAL || describedType == SQL_NUMERIC;
    const SQLULEN units = describedSize + (number ? 3 : 0);
    return {SQL_C_WCHAR, SQL_WVARCHAR, units, 0, SQLLEN((units + 1) * sizeof(SQLWCHAR))};
}

// One batch's rows, column by column, in the arrays the INSERT is bound to.
struct Batch {
    std::vector<std::vector<char>> values;  // a column's elements, elementBytes each
    std::vector<std::vector<SQLLEN>> indicators;
    SQLULEN rows = 0;
};

} // namespace

BareArrayRun RunBareArrayLoop(const QString& sourceConnection, const QString& targetConnection, const QString& tableName,
                              int batchRows)
{
    BareArrayRun run;
    QElapsedTimer timer;
    timer.start();
    Link source(sourceConnection);
    Link target(targetConnection);
    if (!source.connected() || !target.connected()) {
        run.failures = 1;
        return run;
    }

    // The table whole, a batch's arrays at a time: each fetched row is copied from the bound row
    // into its place in the batch.
    std::vector<ColumnForm> forms;
    std::vector<std::unique_ptr<Batch>> batches;
    {
        Statement select(source);
        const QString sql = QStringLiteral("SELECT * FROM \"%1\"").arg(tableName);
        if (!SQL_SUCCEEDED(SQLExecDirectW(select.handle(), (SQLWCHAR*)sql.utf16(), SQL_NTS))) {
            run.failures = 1;
            return run;
        }
        SQLSMALLINT columnCount = 0;
        SQLNumResultCols(select.handle(), &columnCount);
        std::vector<std::vector<char>> fetched(static_cast<size_t>(columnCount));
        std::vector<SQLLEN> fetchedIndicators(static_cast<size_t>(columnCount));
        for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(columnCount); ++i) {
            SQLWCHAR name[256];
            SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            SQLDescribeColW(select.handle(), i, name, 256, &nameLength, &type, &size, &digits, &nullable);
            const ColumnForm& form = forms.emplace_back(formOf(type, size));
            fetched[i - 1].resize(size_t(form.elementBytes));
            SQLBindCol(select.handle(), i, form.cType, fetched[i - 1].data(), form.elementBytes, &fetchedIndicators[i - 1]);
        }
        for (SQLRETURN rc = SQLFetch(select.handle()); rc != SQL_NO_DATA; rc = SQLFetch(select.handle())) {
            if (!SQL_SUCCEEDED(rc)) {
                ++run.failures;
                break;
            }
            if (batches.empty() || batches.back()->rows == SQLULEN(batchRows)) {
                auto& batch = *batches.emplace_back(std::make_unique<Batch>());
                for (const ColumnForm& form : forms) {
                    batch.values.emplace_back(size_t(form.elementBytes) * size_t(batchRows));
                    batch.indicators.emplace_back(size_t(batchRows));
                }
            }
            Batch& batch = *batches.back();
            for (size_t c = 0; c < forms.size(); ++c) {
                const SQLLEN indicator = fetchedIndicators[c];
                if (forms[c].cType == SQL_C_WCHAR && indicator >= forms[c].elementBytes)
                    ++run.failures;
                batch.indicators[c][batch.rows] = indicator;
                if (indicator != SQL_NULL_DATA)
                    std::memcpy(batch.values[c].data() + batch.rows * size_t(forms[c].elementBytes), fetched[c].data(),
                                size_t(forms[c].elementBytes));
            }
            ++batch.rows;
            ++run.rows;
        }
    }

    // The rows, a batch an execute and a commit.
    SQLSetConnectAttrW(target.handle(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    Statement insert(target);
    QString sql = QStringLiteral("INSERT INTO \"%1\" VALUES(").arg(tableName);
    for (size_t c = 0; c < forms.size(); ++c)
        sql += c == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    sql += QStringLiteral(")");
    if (!SQL_SUCCEEDED(SQLPrepareW(insert.handle(), (SQLWCHAR*)sql.utf16(), SQL_NTS))) {
        ++run.failures;
        return run;
    }
    SQLSetStmtAttrW(insert.handle(), SQL_ATTR_PARAM_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_PARAM_BIND_BY_COLUMN), 0);
    for (const auto& batch : batches) {
        SQLSetStmtAttrW(insert.handle(), SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(batch->rows), 0);
        for (size_t c = 0; c < forms.size(); ++c)
            SQLBindParameter(insert.handle(), SQLUSMALLINT(c + 1), SQL_PARAM_INPUT, forms[c].cType, forms[c].sqlType,
                             forms[c].columnSize, forms[c].decimalDigits, batch->values[c].data(), forms[c].elementBytes,
                             batch->indicators[c].data());
        if (SQLExecute(insert.handle()) != SQL_SUCCESS)
            ++run.failures;
        if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, target.handle(), SQL_COMMIT)))
            ++run.failures;
    }
    run.seconds = timer.nsecsElapsed() / 1e9;
    return run;
}
