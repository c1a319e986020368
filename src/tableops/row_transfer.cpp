#include "tableops/row_transfer.h"

#include "app/controls.h"
#include "app/step_trap.h"
#include "oracle/odbc_connection.h"
#include "oracle/sql_statements.h"
#include "tableops/row_buffer.h"

#include <cmath>

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

// The bar's share after a row, rounded as the classic runtime rounded (half to even).
int progressValue(int rowIndex, int rowCount)
{
    return int(std::nearbyint(double(rowIndex + 1) / double(rowCount) * 100.0));
}

} // namespace

void CopyTableRows(app::StepTrap& trap, oracle::Connection& source, oracle::Connection& target,
                   const QString& tableName, app::EventPump& events, app::ProgressDisplay& progress)
{
    oracle::ResultSet rows;
    if (!trap.step(224, [&] { rows = source.execute(oracle::sql::SelectAllRows(tableName)); }))
        return;

    std::vector<short> sqlTypes;
    trap.step(226, [&] {
        for (int i = 0; i < rows.fieldCount(); ++i)
            sqlTypes.push_back(rows.column(i).sqlType);
    });
    RowBuffer buffer;
    while (trap.more(226, [&] { return !rows.eof(); })) {
        trap.step(228, [&] { events.yield(); });
        trap.step(230, [&] { buffer.append(rows.row()); });
        trap.step(238, [&] { rows.moveNext(); });
    }
    rows = oracle::ResultSet();
    if (trap.operationEnded())
        return;

    trap.mark(250);
    const int rowCount = buffer.count();
    oracle::sql::InsertRowStatement insert(tableName);
    for (int i = 0; i < rowCount && !trap.operationEnded(); ++i) {
        trap.step(254, [&] { events.yield(); });
        bool built = false;
        trap.step(256, [&] {
            insert.start();
            buffer.forEachValue(i, [&](int column, const PackedValue& value) { addValue(insert, value, sqlTypes, column); });
            insert.finish();
            built = true;
        });
        if (built)
            trap.step(280, [&] { target.execute(insert.text()); });
        trap.step(282, [&] { progress.setValue(progressValue(i, rowCount)); });
    }
}

} // namespace tableops
