#pragma once

// Writing a table's buffered rows into the table just created on the target: one literal INSERT
// a row, as the program always has, or bound rows in batches, an execute and a commit a batch.

#include "tableops/table_transfer.h"

#include <QElapsedTimer>

#include <optional>

namespace tableops {

// The batch size that means one literal INSERT a row.
inline constexpr int kRowsOneByOne = 1;
// The largest batch a user may ask for.
inline constexpr int kMostBatchRows = 100000;

// The settings key of the batch size, for a start that passes no command line (the desktop menu).
inline const QString kBatchRowsKey = QStringLiteral("BatchRows");

// The batch size of a run, and why a setting was passed over when it was.
struct BatchSize {
    int rows = kRowsOneByOne;
    QString problem;
};

// A batch size as typed: a whole number from 1 to kMostBatchRows, blanks around it allowed.
std::optional<int> ParseBatchRows(const QString& text);

// The command line's batch size when it gave one, else the setting's, else one by one.
BatchSize ChooseBatchSize(std::optional<int> commandLine, const QString& setting);

// What became of a table's rows on the target.
struct InsertedRows {
    std::int64_t inserted = 0;     // in the table for good (committed)
    std::int64_t refused = 0;      // refused by the database, each reported
    std::int64_t uncommitted = 0;  // sent in a batch whose commit failed
};

// Where a table's rows go, and what tells the user how far they are.
struct RowTarget {
    platform::StepTrap& trap;
    oracle::Connection& connection;
    QString tableName;
    platform::EventPump& events;
    platform::ProgressDisplay& progress;
};

// The rows, one literal INSERT each, the bar moving after each.
InsertedRows InsertRowsOneByOne(const RowTarget& target, TableRows& rows);

// The rows bound, batchRows to a batch: each batch in one execute where the driver takes arrays
// and no column is long (else a row an execute), and committed as one. A batch the database
// refuses is rolled back and sent again a row at a time, each committed, so every refused row is
// reported as one by one, and every other row lands once.
InsertedRows InsertRowsInBatches(const RowTarget& target, TableRows& rows, int batchRows);

// The writer a run's batch size chooses: one by one for 1, batches above.
InsertedRows InsertTableRows(const RowTarget& target, TableRows& rows, int batchRows);

// Hands a buffered value to a statement's add functions (addNull, addBoolean, addBytes, addText)
// by its kind; texts go with whatever else the statement's addText takes.
template <typename Statement, typename... TextDetails>
void AddPackedValue(Statement& statement, const PackedValue& value, TextDetails... details)
{
    switch (value.kind) {
    case oracle::FieldValue::Kind::Null:
        statement.addNull();
        break;
    case oracle::FieldValue::Kind::Boolean:
        statement.addBoolean(value.boolean);
        break;
    case oracle::FieldValue::Kind::Binary:
        statement.addBytes(value.data);
        break;
    case oracle::FieldValue::Kind::Text:
        statement.addText(value.data, details...);
        break;
    }
}

// The bar while a table's rows are written: its share of the rows sent, and "T: n of m rows" with
// the rows that are in, drawn as the share moves and a few times a second in between (each new
// text is drawn anew, and drawing it at every one of a million rows would slow the copy). Before
// any box of the trap shows, the count is brought up to date.
class RowProgress {
public:
    RowProgress(platform::StepTrap& trap, platform::ProgressDisplay& progress, QString tableName, std::int64_t rowCount);
    ~RowProgress();
    RowProgress(const RowProgress&) = delete;
    RowProgress& operator=(const RowProgress&) = delete;

    void rowsDone(std::int64_t sent, std::int64_t inserted);

private:
    void showCount();

    platform::StepTrap& trap_;
    platform::ProgressDisplay& progress_;
    QString tableName_;
    std::int64_t rowCount_;
    std::int64_t inserted_ = 0;
    int shownShare_ = -1;
    QElapsedTimer sinceCount_;
};

} // namespace tableops
