#pragma once
#include <QString>
#include <QStringList>
#include <QList>
#include <QHash>
#include <QTemporaryDir>

#include <functional>

// Test equipment: a private data folder for the stand-in driver, registered through ODBCSYSINI for this process.
//
// The driver looks up ODBCSYSINI on every connect (unixODBC's own ini cache would keep the first
// folder for the whole process), so fixtures can be nested: a new fixture points ODBCSYSINI at its
// folder and its destructor restores the previous value. Only the newest fixture is usable at a
// time; connections already open stay with their folder. One fixture per test process, made in
// initTestCase, is simplest.
// The error text an action fails with, or the empty text when it succeeds: for statements a test
// expects the stand-in to refuse.
QString ErrorOf(const std::function<void()>& action);

class DevDbFixture {
public:
    DevDbFixture();                       // temp folder, initDataDir(DEVDB_DRIVER_PATH), qputenv("ODBCSYSINI", dir)
    ~DevDbFixture();
    QString dataDir() const;
    void addUser(const QString& sid, const QString& user, const QString& password);
    static QString connectionString(const QString& sid, const QString& user, const QString& password); // "Driver={Microsoft ODBC for Oracle};Server=..;Uid=..;Pwd=..;" verbatim
    void exec(const QString& sid, const QString& user, const QString& sql);                 // as that user (password remembered from addUser); throws std::runtime_error with the diag text
    QString errorOf(const QString& sid, const QString& user, const QString& sql) { return ErrorOf([&] { exec(sid, user, sql); }); }
    QList<QStringList> query(const QString& sid, const QString& user, const QString& sql);  // every row, values as text via SQL_C_WCHAR; NULL as a null QString
    void addFault(const QString& rule);
    void clearFaults();
    void alias(const QString& newSid, const QString& sid);          // a second name for sid's database; its users' passwords carry over
    void setContainer(const QString& sid, const QString& cdb);      // sid's database becomes a pluggable database of cdb
    void setUnordered(bool on);                                     // dictionary views without ORDER BY scramble their rows
    void setNarrow(bool on);                                        // every result column described as 1 wide
    void setNoArrays(bool on);                                      // one row of parameters per execute
    void setLatency(int ms);                                        // ms slept a round trip; 0: none
    // Registers the driver under these names alone: "Microsoft ODBC for Oracle" as today, any other
    // as Oracle's own driver (the SID in DBQ=). The driver manager keeps the first ODBCSYSINI folder
    // of a process, so a suite that re-registers uses one fixture for its whole run.
    void registerDriverAs(const QStringList& names);

    // Who a database is, and what it takes.
    void copyDatabase(const QString& newSid, const QString& sid);   // a file of its own: same name, id, users, tables
    void setDatabaseId(const QString& sid, const QString& id);      // CON_DBID
    void setUniqueName(const QString& sid, const QString& name);    // DB_UNIQUE_NAME, as a standby's
    void setUserCreated(const QString& sid, const QString& user, const QString& created); // "YYYY-MM-DD HH:MM:SS"
    void setExtendedStrings(const QString& sid);                    // MAX_STRING_SIZE=EXTENDED

    QString passwordOf(const QString& sid, const QString& user) const;

    // Statement trace: from startTrace() on, connections opened afterwards record every statement
    // they are given, as "SID|statement", in order.
    void startTrace() { startTrace("trace"); }
    QStringList tracedStatements() const { return traced("trace"); }
    // Connection trace: from startConnectionTrace() on, every connection string the driver is
    // given, as it came.
    void startConnectionTrace() { startTrace("connections"); }
    QStringList tracedConnections() const { return traced("connections"); }

private:
    void startTrace(const QString& marker);
    QStringList traced(const QString& marker) const;
    void carryPasswords(const QString& newSid, const QString& sid); // sid's known passwords hold under newSid too

    QTemporaryDir m_dir;
    QByteArray m_previousSysIni;
    bool m_hadSysIni = false;
    QHash<QString, QString> m_passwords; // "SID/USER" upper case -> password
};

// One ODBC connection through the driver manager's W functions, for tests that need more than
// one statement per connection or the raw handles. Throws std::runtime_error with the driver's
// diagnostic text when connecting or a statement fails.
class DevDbConnection {
public:
    explicit DevDbConnection(const QString& connectionString);
    ~DevDbConnection();
    DevDbConnection(const DevDbConnection&) = delete;
    DevDbConnection& operator=(const DevDbConnection&) = delete;

    void exec(const QString& sql);
    QString errorOf(const QString& sql) { return ErrorOf([&] { exec(sql); }); }
    QList<QStringList> query(const QString& sql);
    void* handle() const { return m_dbc; } // SQLHDBC

    void setAutocommit(bool on);
    void commit() { endTransaction(true); }
    void rollback() { endTransaction(false); }
    // Runs sql once for a column-wise array of rows, every value bound as SQL_C_WCHAR text (a
    // null QString as NULL). The error text, empty when every row succeeded; statuses gets each
    // row's SQL_PARAM_* status, processed the number of rows the driver says it processed.
    QString execArray(const QString& sql, const QList<QStringList>& rows, QList<int>* statuses = nullptr,
                      qulonglong* processed = nullptr);

    // Diagnostic messages of a handle (SQL_HANDLE_* type), joined by newlines.
    static QString diagnostics(short handleType, void* handle);

private:
    void endTransaction(bool commit);
    void* m_dbc = nullptr;
};
