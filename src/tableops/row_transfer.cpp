#include "tableops/row_transfer.h"

#include "app/controls.h"
#include "app/step_trap.h"
#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "tableops/progress_percent.h"
#include "tableops/row_buffer.h"

#include <new>

namespace tableops {

namespace {

void addValue(oracle::sql::InsertRowStatement& insert, const PackedValue& value, const std::vector<short>& sqlTypes,
              int column)
{
    switch (value.kind) {
    case oracle::FieldValue::Kind::Null:
        insert.addNull();
        break;
    case oracle::FieldValue::Kind::Boolean:
        insert.addBoolean(value.boolean);
        break;
    case oracle::FieldValue::Kind::Binary:
        insert.addBytes(value.data);
        break;
    case oracle::FieldValue::Kind::Text:
        insert.addText(value.data, size_t(column) < sqlTypes.size() ? sqlTypes[size_t(column)] : 0);
        break;
    }
}

} // namespace

void CopyTableRows(app::StepTrap& trap, oracle::Connection& source, oracle::Connection& target,
                   const QString& tableName, app::EventPump& events, app::ProgressDisplay& progress,
                   const RowBufferLimits& limits)
{
    oracle::ResultSet rows;
    std::vector<short> sqlTypes;
    const bool selected = trap.step(224, [&] {
        rows = source.execute(oracle::sql::SelectAllRows(tableName));
        for (int i = 0; i < rows.fieldCount(); ++i)
            sqlTypes.push_back(rows.column(i).sqlType);
    });
    if (!selected)
        return;

    RowBuffer buffer(limits);
    // Out of memory, the rows read so far go before the report: its box needs memory to be drawn.
    auto releasingRowsOnMemoryFailure = [&](auto action) {
        return [&, action] {
            try {
                action();
            } catch (const std::bad_alloc&) {
                buffer.clear();
                rows = oracle::ResultSet();
                throw;
            }
        };
    };
    while (trap.more(226, [&] { return !rows.eof(); })) {
        trap.step(228, [&] { events.yield(); });
        trap.step(230, releasingRowsOnMemoryFailure([&] { buffer.append(rows.row()); }));
        if (!trap.tableEnded())
            trap.step(238, releasingRowsOnMemoryFailure([&] { rows.moveNext(); }));
    }
    rows = oracle::ResultSet();
    if (trap.tableEnded())
        return;

    trap.mark(250);
    const std::int64_t rowCount = buffer.count();
    oracle::sql::InsertRowStatement insert(tableName);
    // A target that cannot take more ends the table's rows after its one report.
    for (std::int64_t i = 0; i < rowCount && !trap.tableEnded(); ++i) {
        trap.step(254, [&] { events.yield(); });
        bool built = false;
        // A row the temporary file cannot give back ends the table after its one report.
        trap.step(256, [&] {
            insert.start();
            buffer.forEachValue(i, [&](int column, const PackedValue& value) { addValue(insert, value, sqlTypes, column); });
            insert.finish();
            built = true;
        });
        if (built)
            trap.step(280, [&] { target.execute(insert.text()); });
        trap.step(282, [&] { progress.setValue(ProgressPercent(i + 1, rowCount)); });
    }
}

} // namespace tableops
