#pragma once
// One logged-in connection to a SID: runs parsed statements against the SQLite file, keeps the
// definitions of the tables it uses cached (dropped whenever any connection changes the
// catalogue), and applies fault rules.
#include "cursors.h"
#include "faults.h"
#include "identity.h"
#include "sid_files.h"
#include "sqlparse.h"
#include "store.h"

#include <cstdio>
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

class Session {
public:
    // Throws DbError with ORA-12154 / ORA-01017 or a CONNECT fault.
    static std::unique_ptr<Session> connect(const std::string& dataDir, const std::string& sid,
                                            const std::string& user, const std::string& password);

    ExecResult execute(std::string_view sql);
    // Result columns of a query without running it (empty for other statements).
    std::vector<ResultColumn> describe(std::string_view sql);

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
    std::optional<DatabaseIdentity> identity_;

    SqliteStmt generationQuery_;
    int64_t generation_ = -1;
    // Definitions looked up by (owner, name) since the last catalogue change; null: no such table.
    std::map<std::pair<std::string, std::string>, TablePtr> tables_;
    SqliteStmt insertRow_;
};

} // namespace devdb
