#include "tableops/row_writers.h"

#include "oracle/bound_insert.h"
#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "platform/ports.h"
#include "platform/step_trap.h"

#include <algorithm>
#include <optional>

namespace tableops {

namespace {

// The arrays of one batch stay within this, however long its values: a batch is cut short
// before its rows would take more.
constexpr std::size_t kBatchBytes = std::size_t(16) << 20;

// One table's rows in batches. A batch is committed whole or, once the database refused it,
// rolled back and sent again a row at a time: nothing is committed on what a driver says of
// single rows of an array, which drivers are known to get wrong.
class BatchWriter {
public:
    BatchWriter(const RowTarget& target, TableRows& rows, int batchRows)
        : target_(target), trap_(target.trap), rows_(rows), batchRows_(batchRows), rowCount_(rows.buffer.count()),
          progress_(target.trap, target.progress, target.tableName, rowCount_)
    {
    }

    InsertedRows run()
    {
        trap_.mark(250);
        if (rowCount_ == 0 || !prepare())
            return result_;
        // Where the driver takes arrays a batch is one execute; else each row is one, the
        // batch still one commit.
        const int perExecute = insert_->rowsPerExecute(batchRows_);
        const int batch = perExecute > 1 ? perExecute : batchRows_;
        for (std::int64_t next = 0; next < rowCount_ && !trap_.tableEnded();) {
            const std::int64_t end = std::min(rowCount_, next + batch);
            next = perExecute > 1 ? sendArray(next, end) : sendRows(next, end);
            trap_.step(282, [&] { progress_.rowsDone(next, result_.inserted); });
        }
        if (!trap_.operationEnded())
            trap_.step(289, [&] { target_.connection.setAutoCommit(true); });
        return result_;
    }

private:
    // Without the statement no row can go: its one report stands for them all.
    bool prepare()
    {
        const bool prepared = trap_.step(278, [&] {
            insert_.emplace(target_.connection, oracle::sql::InsertBoundRow(target_.tableName, int(rows_.sqlTypes.size())),
                            rows_.sqlTypes);
            target_.connection.setAutoCommit(false);
        });
        if (!prepared)
            result_.refused = rowCount_;
        return prepared;
    }

    // Adds the buffer's row to the insert. False when it could not be built (reported).
    bool addRow(std::int64_t index)
    {
        trap_.step(254, [&] { target_.events.yield(); });
        rowBytes_ = 0;
        const bool built = trap_.step(256, [&] {
            insert_->startRow();
            rows_.buffer.forEachValue(index, [&](int, const PackedValue& value) {
                rowBytes_ += std::size_t(value.data.size());
                AddPackedValue(*insert_, value);
            });
            insert_->endRow();
        });
        if (!built)
            ++result_.refused;
        return built;
    }

    bool commit(std::int64_t rows)
    {
        if (trap_.step(281, [&] { target_.connection.commit(); })) {
            result_.inserted += rows;
            return true;
        }
        result_.uncommitted += rows;
        return false;
    }

    // Rows from first up to end, as arrays in one execute. Gives where the next batch starts.
    std::int64_t sendArray(std::int64_t first, std::int64_t end)
    {
        insert_->clearRows();
        std::int64_t index = first;
        while (index < end && insert_->boundBytes() < kBatchBytes && !trap_.tableEnded())
            addRow(index++);
        const int bound = insert_->rowCount();
        if (bound == 0)
            return index;
        bool whole = false;
        // A lost connection is reported here and ends the run; a refusal is only said by the result.
        trap_.step(280, [&] { whole = insert_->tryExecuteAll(); });
        if (trap_.operationEnded()) {
            result_.uncommitted += bound;
            return index;
        }
        if (whole) {
            commit(bound);
            return index;
        }
        // Nothing of the refused array stays; its rows go again one by one, so the refused ones are
        // reported as one by one would report them, and every other row is committed once.
        if (!trap_.step(283, [&] { target_.connection.rollback(); }))
            return index;
        for (int row = 0; row < bound && !trap_.tableEnded(); ++row) {
            trap_.step(254, [&] { target_.events.yield(); });
            if (trap_.step(280, [&] { insert_->executeRow(row); }))
                commit(1);
            else
                ++result_.refused;
        }
        return index;
    }

    // Rows from first up to end, a row an execute (long values go at execution, straight from the
    // buffer), then one commit. A refused row takes back only itself. A batch of long values ends
    // early once it holds as much as an array may: a transaction of a gigabyte of CLOBs would
    // weigh on the server's undo. Gives where the next batch starts.
    std::int64_t sendRows(std::int64_t first, std::int64_t end)
    {
        std::int64_t sent = 0;
        std::size_t sentBytes = 0;
        std::int64_t index = first;
        for (; index < end && sentBytes < kBatchBytes && !trap_.tableEnded(); ++index) {
            insert_->clearRows();
            if (!addRow(index))
                continue;
            sentBytes += rowBytes_;
            if (trap_.step(280, [&] { insert_->executeRow(0); }))
                ++sent;
            else
                ++result_.refused;
            trap_.step(282, [&] { progress_.rowsDone(index + 1, result_.inserted); });
        }
        if (sent > 0) {
            if (trap_.operationEnded())
                result_.uncommitted += sent;
            else
                commit(sent);
        }
        return index;
    }

    const RowTarget& target_;
    platform::StepTrap& trap_;
    TableRows& rows_;
    int batchRows_;
    std::int64_t rowCount_;
    RowProgress progress_;
    std::optional<oracle::BoundInsert> insert_;
    InsertedRows result_;
    std::size_t rowBytes_ = 0;  // the values of the row last added
};

} // namespace

InsertedRows InsertRowsInBatches(const RowTarget& target, TableRows& rows, int batchRows)
{
    return BatchWriter(target, rows, batchRows).run();
}

} // namespace tableops
