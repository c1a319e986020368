#include "devdb_fixture.h"

#include "devdb_admin.h"

#include <QDir>
#include <QFile>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

// On a connection made through SQLDriverConnectW the driver manager turns the application's ANSI
// calls (tests use a few) into the driver's W calls with the process's locale encoding; it must be
// UTF-8 or non-ASCII text is mangled. Qt applications get this from QCoreApplication; a plain
// test binary may not, so make sure here.
void ensureUtf8Locale()
{
    const char* codeset = nl_langinfo(CODESET);
    if (codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0)) return;
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "en_US.UTF-8");
}

SQLHENV sharedEnvironment()
{
    static SQLHENV env = [] {
        SQLHENV e = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &e)))
            throw std::runtime_error("cannot allocate an ODBC environment");
        SQLSetEnvAttr(e, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return e;
    }();
    return env;
}

std::u16string wide(const QString& s) { return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())); }

SQLWCHAR* wptr(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }

QString key(const QString& sid, const QString& user) { return sid.toUpper() + '/' + user.toUpper(); }

// connectionString() is verbatim; a password with ';' or braces only survives inside braces.
QString connectionValue(const QString& v)
{
    if (!v.contains(';') && !v.contains('{') && !v.contains('}') && v.trimmed() == v) return v;
    return '{' + QString(v).replace("}", "}}") + '}';
}

struct StatementHandle {
    SQLHSTMT h = SQL_NULL_HSTMT;
    ~StatementHandle() { if (h) SQLFreeHandle(SQL_HANDLE_STMT, h); }
};

// Reads a whole value as UTF-16, in pieces to exercise the driver's continuation logic. A cut
// piece fills the buffer but for its terminator (a surrogate pair may straddle two pieces); the
// last one is as long as the indicator says. U+0000 inside a value is kept.
std::optional<QString> readWide(SQLHSTMT st, SQLUSMALLINT column)
{
    QString out;
    SQLWCHAR buf[128];
    constexpr qsizetype room = qsizetype(sizeof buf / sizeof buf[0]) - 1;
    for (;;) {
        SQLLEN ind = 0;
        const SQLRETURN rc = SQLGetData(st, column, SQL_C_WCHAR, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) throw std::runtime_error(DevDbConnection::diagnostics(SQL_HANDLE_STMT, st).toStdString());
        if (ind == SQL_NULL_DATA) return std::nullopt;
        const qsizetype units = rc == SQL_SUCCESS ? qsizetype(ind / SQLLEN(sizeof(SQLWCHAR))) : room;
        // Not QString::fromUtf16: it takes a leading U+FEFF for a byte order mark and drops it.
        out += QString(reinterpret_cast<const QChar*>(buf), units);
        if (rc == SQL_SUCCESS) break;
    }
    return out;
}

} // namespace

QString DevDbConnection::diagnostics(short handleType, void* handle)
{
    QStringList messages;
    for (SQLSMALLINT i = 1; i < 20; ++i) {
        SQLWCHAR state[6], text[1024];
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(handleType, handle, i, state, &native, text, 1024, &length);
        if (!SQL_SUCCEEDED(rc)) break;
        messages << QString::fromUtf16(reinterpret_cast<const char16_t*>(text));
    }
    return messages.isEmpty() ? QStringLiteral("unknown ODBC failure") : messages.join('\n');
}

DevDbConnection::DevDbConnection(const QString& connectionString)
{
    ensureUtf8Locale();
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, sharedEnvironment(), &dbc)))
        throw std::runtime_error("cannot allocate an ODBC connection");
    std::u16string cs = wide(connectionString);
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(dbc, nullptr, wptr(cs), SQLSMALLINT(cs.size()), out, 1024, &outLength,
                                           SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const QString text = diagnostics(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        throw std::runtime_error(text.toStdString());
    }
    m_dbc = dbc;
}

DevDbConnection::~DevDbConnection()
{
    SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
}

void DevDbConnection::exec(const QString& sql)
{
    StatementHandle st;
    SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &st.h);
    std::u16string text = wide(sql);
    const SQLRETURN rc = SQLExecDirectW(st.h, wptr(text), SQLINTEGER(text.size()));
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) throw std::runtime_error(diagnostics(SQL_HANDLE_STMT, st.h).toStdString());
}

QList<QStringList> DevDbConnection::query(const QString& sql)
{
    StatementHandle st;
    SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &st.h);
    std::u16string text = wide(sql);
    SQLRETURN rc = SQLExecDirectW(st.h, wptr(text), SQLINTEGER(text.size()));
    if (!SQL_SUCCEEDED(rc)) throw std::runtime_error(diagnostics(SQL_HANDLE_STMT, st.h).toStdString());
    SQLSMALLINT columns = 0;
    SQLNumResultCols(st.h, &columns);
    QList<QStringList> rows;
    while ((rc = SQLFetch(st.h)) != SQL_NO_DATA) {
        if (!SQL_SUCCEEDED(rc)) throw std::runtime_error(diagnostics(SQL_HANDLE_STMT, st.h).toStdString());
        QStringList row;
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            auto v = readWide(st.h, SQLUSMALLINT(c));
            row << (v ? *v : QString());
        }
        rows << row;
    }
    return rows;
}

void DevDbConnection::setAutocommit(bool on)
{
    const SQLULEN value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    if (!SQL_SUCCEEDED(SQLSetConnectAttrW(m_dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value), 0)))
        throw std::runtime_error(diagnostics(SQL_HANDLE_DBC, m_dbc).toStdString());
}

void DevDbConnection::endTransaction(bool commit)
{
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, m_dbc, commit ? SQL_COMMIT : SQL_ROLLBACK)))
        throw std::runtime_error(diagnostics(SQL_HANDLE_DBC, m_dbc).toStdString());
}

QString DevDbConnection::execArray(const QString& sql, const QList<QStringList>& rows, QList<int>* statuses,
                                   qulonglong* processed)
{
    StatementHandle st;
    SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &st.h);
    std::u16string text = wide(sql);
    if (!SQL_SUCCEEDED(SQLPrepareW(st.h, wptr(text), SQLINTEGER(text.size()))))
        return diagnostics(SQL_HANDLE_STMT, st.h);
    const qsizetype columns = rows.isEmpty() ? 0 : rows.first().size();
    std::vector<std::vector<SQLWCHAR>> values(static_cast<size_t>(columns));
    std::vector<std::vector<SQLLEN>> lengths(static_cast<size_t>(columns));
    std::vector<SQLUSMALLINT> status(size_t(rows.size()));
    for (qsizetype c = 0; c < columns; ++c) {
        qsizetype width = 1;
        for (const QStringList& row : rows) width = std::max(width, row[c].size() + 1);
        auto& buffer = values[size_t(c)];
        buffer.assign(size_t(width * rows.size()), 0);
        for (qsizetype r = 0; r < rows.size(); ++r) {
            std::copy(rows[r][c].utf16(), rows[r][c].utf16() + rows[r][c].size(), buffer.begin() + r * width);
            lengths[size_t(c)].push_back(rows[r][c].isNull() ? SQL_NULL_DATA : SQLLEN(rows[r][c].size() * 2));
        }
        SQLBindParameter(st.h, SQLUSMALLINT(c + 1), SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, SQLULEN(width), 0,
                         buffer.data(), SQLLEN(width * 2), lengths[size_t(c)].data());
    }
    SQLSetStmtAttrW(st.h, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(rows.size())), 0);
    SQLSetStmtAttrW(st.h, SQL_ATTR_PARAM_STATUS_PTR, status.data(), 0);
    SQLULEN done = 0;
    SQLSetStmtAttrW(st.h, SQL_ATTR_PARAMS_PROCESSED_PTR, &done, 0);
    const SQLRETURN rc = SQLExecute(st.h);
    if (statuses) *statuses = QList<int>(status.begin(), status.end());
    if (processed) *processed = done;
    return SQL_SUCCEEDED(rc) ? QString() : diagnostics(SQL_HANDLE_STMT, st.h);
}

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::runtime_error& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

DevDbFixture::DevDbFixture()
{
    ensureUtf8Locale();
    if (!m_dir.isValid()) throw std::runtime_error("cannot create a temporary folder");
    devdb::initDataDir(m_dir.path().toStdString(), DEVDB_DRIVER_PATH);
    m_hadSysIni = qEnvironmentVariableIsSet("ODBCSYSINI");
    m_previousSysIni = qgetenv("ODBCSYSINI");
    qputenv("ODBCSYSINI", m_dir.path().toLocal8Bit());
}

void DevDbFixture::registerDriverAs(const QStringList& names)
{
    std::vector<std::string> list;
    for (const QString& name : names)
        list.push_back(name.toStdString());
    devdb::registerDriver(m_dir.path().toStdString(), DEVDB_DRIVER_PATH, list);
}

DevDbFixture::~DevDbFixture()
{
    if (m_hadSysIni) qputenv("ODBCSYSINI", m_previousSysIni);
    else qunsetenv("ODBCSYSINI");
}

QString DevDbFixture::dataDir() const { return m_dir.path(); }

void DevDbFixture::addUser(const QString& sid, const QString& user, const QString& password)
{
    devdb::addUser(m_dir.path().toStdString(), sid.toStdString(), user.toStdString(), password.toStdString());
    m_passwords[key(sid, user)] = password;
}

QString DevDbFixture::passwordOf(const QString& sid, const QString& user) const
{
    auto it = m_passwords.find(key(sid, user));
    if (it == m_passwords.end())
        throw std::runtime_error(("no password known for " + key(sid, user) + " (call addUser first)").toStdString());
    return *it;
}

QString DevDbFixture::connectionString(const QString& sid, const QString& user, const QString& password)
{
    return QStringLiteral("Driver={Microsoft ODBC for Oracle};Server=%1;Uid=%2;Pwd=%3;").arg(sid, user, password);
}

void DevDbFixture::exec(const QString& sid, const QString& user, const QString& sql)
{
    DevDbConnection(connectionString(sid, user, connectionValue(passwordOf(sid, user)))).exec(sql);
}

QList<QStringList> DevDbFixture::query(const QString& sid, const QString& user, const QString& sql)
{
    return DevDbConnection(connectionString(sid, user, connectionValue(passwordOf(sid, user)))).query(sql);
}

void DevDbFixture::addFault(const QString& rule) { devdb::addFault(m_dir.path().toStdString(), rule.toStdString()); }

void DevDbFixture::clearFaults() { devdb::clearFaults(m_dir.path().toStdString()); }

void DevDbFixture::alias(const QString& newSid, const QString& sid)
{
    devdb::addAlias(m_dir.path().toStdString(), newSid.toStdString(), sid.toStdString());
    carryPasswords(newSid, sid);
}

void DevDbFixture::carryPasswords(const QString& newSid, const QString& sid)
{
    const QString prefix = sid.toUpper() + '/';
    QHash<QString, QString> carried;
    for (auto it = m_passwords.cbegin(); it != m_passwords.cend(); ++it)
        if (it.key().startsWith(prefix)) carried[newSid.toUpper() + '/' + it.key().mid(prefix.size())] = it.value();
    m_passwords.insert(carried);
}

void DevDbFixture::setContainer(const QString& sid, const QString& cdb)
{
    devdb::setContainer(m_dir.path().toStdString(), sid.toStdString(), cdb.toStdString());
}

void DevDbFixture::setUnordered(bool on) { devdb::setUnordered(m_dir.path().toStdString(), on); }

void DevDbFixture::setNarrow(bool on) { devdb::setNarrow(m_dir.path().toStdString(), on); }

void DevDbFixture::setNoArrays(bool on) { devdb::setNoArrays(m_dir.path().toStdString(), on); }

void DevDbFixture::setLatency(int ms) { devdb::setLatency(m_dir.path().toStdString(), ms); }

void DevDbFixture::copyDatabase(const QString& newSid, const QString& sid)
{
    devdb::copyDatabase(m_dir.path().toStdString(), newSid.toStdString(), sid.toStdString());
    carryPasswords(newSid, sid);
}

void DevDbFixture::setDatabaseId(const QString& sid, const QString& id)
{
    devdb::setDatabaseId(m_dir.path().toStdString(), sid.toStdString(), id.toStdString());
}

void DevDbFixture::setUniqueName(const QString& sid, const QString& name)
{
    devdb::setUniqueName(m_dir.path().toStdString(), sid.toStdString(), name.toStdString());
}

void DevDbFixture::setUserCreated(const QString& sid, const QString& user, const QString& created)
{
    devdb::setUserCreated(m_dir.path().toStdString(), sid.toStdString(), user.toStdString(), created.toStdString());
}

void DevDbFixture::setExtendedStrings(const QString& sid)
{
    devdb::setExtendedStrings(m_dir.path().toStdString(), sid.toStdString());
}

void DevDbFixture::startTrace(const QString& marker)
{
    QFile trace(QDir(dataDir()).filePath(marker));
    if (!trace.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot start the trace " + marker.toStdString());
}

QStringList DevDbFixture::traced(const QString& marker) const
{
    QFile trace(QDir(dataDir()).filePath(marker));
    if (!trace.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(trace.readAll()).split('\n', Qt::SkipEmptyParts);
    return lines;
}
