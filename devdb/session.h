#pragma once
// One logged-in connection to a SID: runs parsed statements against the SQLite file, keeps the
// definitions of the tables it uses cached (dropped whenever any connection changes the
// catalogue), applies fault rules, and holds its transaction.
#include "cursors.h"
#include "faults.h"
#include "identity.h"
#include "sid_files.h"
#include "sqlparse.h"
#include "store.h"

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devdb {

struct ExecResult {
    std::unique_ptr<Cursor> cursor; // set for queries
    int64_t rowCount = 0;           // rows changed by INSERT / DELETE
};

// How a statement with parameter markers fared over its rows of values: `done` rows ran, in
// order; `error` says why the row after them did not, and no later row was tried.
struct BoundResult {
    size_t done = 0;
    std::optional<DbError> error;
    ExecResult result; // rows changed by all of them, or the cursor of a query
};

// Fills in the values of one row (0-based) for every marker; throws DbError for a value that
// cannot be read, which fails that row.
using RowValues = std::function<void(size_t row, std::vector<Literal>& values)>;

class Session {
public:
    // Throws DbError with ORA-12154 / ORA-01017 or a CONNECT fault.
    static std::unique_ptr<Session> connect(const std::string& dataDir, const std::string& sid,
                                            const std::string& user, const std::string& password);

    ~Session(); // an open transaction is rolled back
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ExecResult execute(std::string_view sql);
    // Runs a prepared statement once for each of `rows` rows of values, each row a statement of
    // its own to the trace and the fault rules, the values written in as literals. With autocommit
    // on, an array of rows is one transaction, committed only when every row succeeds (Oracle's
    // driver's default); with autocommit off the rows before a failing one stay in the open
    // transaction.
    BoundResult executeBound(std::string_view sql, const Prepared& prepared, size_t rows, const RowValues& values);
    // Result columns of a query without running it (empty for other statements).
    std::vector<ResultColumn> describe(std::string_view sql);

    // Autocommit on (the default): every statement commits on its own. Off: the first change opens
    // a transaction that holds until commit() or rollback(); DDL commits it first, as in Oracle,
    // and turning autocommit on again commits it. True when that committed a transaction.
    bool setAutocommit(bool on);
    void commit();
    void rollback();

    // The "latency" marker's milliseconds, slept once for every round trip a client/server
    // driver would make (connecting costs one already).
    void roundTrip() const;
    bool hasLatency() const { return latencyMs_ > 0; }
    // The "no-arrays" marker: the driver takes one row of parameters per execute.
    bool arraysRefused() const { return arraysRefused_; }

    bool lost() const { return lost_.has_value(); }
    // The data folder held a "narrow" marker at connect: describe every result column as one
    // character wide, as a driver that under-reports sizes would.
    bool narrow() const { return narrow_; }
    const std::string& user() const { return user_; }
    const std::string& sid() const { return sid_; }

private:
    Session() = default;
    using TablePtr = std::shared_ptr<const TableInfo>;

    void refreshCatalogue();
    void trace(std::string_view text);
    // A statement matched by a fault rule fails; one that loses the connection takes the open
    // transaction with it.
    void applyFault(std::string_view text);
    void beginChange(); // with autocommit off, the first change opens the transaction
    void begin();
    void endTransaction(bool commit);
    // A literal of a statement, or the bound value of a marker while a row of values runs.
    const Literal& resolved(const Literal& lit) const;
    // The column each marker's value goes to or is compared with, where the table is known.
    std::vector<const ColumnType*> markerColumns(const Prepared& prepared, TablePtr& table);
    TablePtr findTable(const QualifiedName& name);
    TablePtr requireTable(const QualifiedName& name);
    std::string ownerOf(const QualifiedName& name) const { return name.owner.empty() ? user_ : name.owner; }

    ExecResult run(const Statement& st);
    ExecResult createTable(const CreateTable& st);
    ExecResult dropTable(const DropTable& st);
    ExecResult renameTable(const RenameTable& st);
    ExecResult insert(const Insert& st);
    ExecResult remove(const Delete& st);
    ExecResult select(const Select& st, bool describeOnly);
    ExecResult selectTable(const Select& st, const TableInfo& t, bool describeOnly);
    ExecResult selectView(const Select& st, std::vector<ResultColumn> columns, std::vector<std::vector<Value>> rows,
                          bool describeOnly);
    bool dictionaryView(const std::string& name, const std::vector<Condition>& where, std::vector<ResultColumn>& columns,
                        std::vector<std::vector<Value>>& rows, bool withRows);

    SqliteStmt tableRows(const TableInfo& t);
    RowFilter filterFor(const std::vector<ResultColumn>& columns, const std::vector<Condition>& where) const;
    RowOrder orderFor(const std::vector<ResultColumn>& columns, const std::vector<OrderItem>& orderBy) const;
    Projection projectionFor(const Select& st, const std::vector<ResultColumn>& columns, bool evaluate);
    Literal conditionValue(const Condition& c) const;
    ResultColumn itemColumn(const SelectItem& item) const;
    Value itemValue(const SelectItem& item);
    void scramble(std::vector<std::vector<Value>>& rows);

    std::unique_ptr<SqliteDb> db_;
    std::string sid_, user_;
    FaultCounter faults_;
    std::optional<DbError> lost_;
    // Statement trace for tests: every statement of this connection, one line each, when the data
    // folder held a file named "trace" at connect time.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> trace_{nullptr, &std::fclose};
    bool unordered_ = false; // "unordered" marker: dictionary views without ORDER BY scramble their rows
    bool narrow_ = false;
    uint64_t unorderedQueries_ = 0;
    std::vector<size_t> lastScramble_;
    bool autocommit_ = true;
    bool inTransaction_ = false;
    int latencyMs_ = 0;
    bool arraysRefused_ = false;
    const std::vector<Literal>* boundRow_ = nullptr; // the values of the row of markers now running
    std::optional<DatabaseIdentity> identity_;

    SqliteStmt generationQuery_;
    int64_t generation_ = -1;
    // Definitions looked up by (owner, name) since the last catalogue change; null: no such table.
    std::map<std::pair<std::string, std::string>, TablePtr> tables_;
    SqliteStmt insertRow_;
};

} // namespace devdb
