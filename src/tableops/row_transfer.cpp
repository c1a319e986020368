#include "tableops/row_transfer.h"

#include "app/controls.h"
#include "app/step_trap.h"
#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "tableops/progress_percent.h"

#include <QLocale>

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
        insert.addText(value.data, size_t(column) < sqlTypes.size() ? sqlTypes[size_t(column)] : short(0));
        break;
    }
}

} // namespace

bool ReadTableRows(app::StepTrap& trap, oracle::Connection& source, const QString& tableName, app::EventPump& events,
                   TableRows& rows)
{
    oracle::ResultSet result;
    const bool selected = trap.step(224, [&] {
        result = source.execute(oracle::sql::SelectAllRows(tableName));
        for (int i = 0; i < result.fieldCount(); ++i)
            rows.sqlTypes.push_back(result.column(i).sqlType);
    });
    if (!selected)
        return false;

    // Out of memory, the rows read so far go before the report: its box needs memory to be drawn.
    auto releasingRowsOnMemoryFailure = [&](auto action) {
        return [&, action] {
            try {
                action();
            } catch (const std::bad_alloc&) {
                rows.buffer.clear();
                result = oracle::ResultSet();
                throw;
            }
        };
    };
    // The first report ends the reading: a table is copied whole or not at all.
    bool whole = true;
    for (;;) {
        bool atEnd = true;
        if (!trap.step(226, [&] { atEnd = result.eof(); })) {
            whole = false;
            break;
        }
        if (atEnd)
            break;
        trap.step(228, [&] { events.yield(); });
        if (!trap.step(230, releasingRowsOnMemoryFailure([&] { rows.buffer.append(result.row()); }))
            || !trap.step(238, releasingRowsOnMemoryFailure([&] { result.moveNext(); }))) {
            whole = false;
            break;
        }
    }
    result = oracle::ResultSet();
    if (whole)
        whole = trap.step(242, [&] { rows.buffer.flush(); });
    if (!whole)
        rows.buffer.clear();
    return whole;
}

QString RowsWrittenText(const QString& tableName, std::int64_t written, std::int64_t rowCount)
{
    const QLocale english(QLocale::English);
    return tableName + QStringLiteral(": ") + english.toString(qlonglong(written)) + QStringLiteral(" of ")
        + english.toString(qlonglong(rowCount)) + QStringLiteral(" rows");
}

InsertedRows InsertTableRows(app::StepTrap& trap, oracle::Connection& target, const QString& tableName,
                             app::EventPump& events, app::ProgressDisplay& progress, TableRows& rows)
{
    trap.mark(250);
    InsertedRows result;
    int shownShare = -1;
    const std::int64_t rowCount = rows.buffer.count();
    oracle::sql::InsertRowStatement insert(tableName);
    // A target that cannot take more ends the table's rows after its one report.
    for (std::int64_t i = 0; i < rowCount && !trap.tableEnded(); ++i) {
        trap.step(254, [&] { events.yield(); });
        bool built = false;
        // A row the temporary file cannot give back ends the table after its one report.
        trap.step(256, [&] {
            insert.start();
            rows.buffer.forEachValue(i, [&](int column, const PackedValue& value) { addValue(insert, value, rows.sqlTypes, column); });
            insert.finish();
            built = true;
        });
        if (built && trap.step(280, [&] { target.execute(insert.text()); }))
            ++result.inserted;
        else
            ++result.refused;
        trap.step(282, [&] {
            const int share = ProgressPercent(i + 1, rowCount);
            // The count is told as often as the eye can follow, not at every one of a million rows.
            if (share != shownShare || (i + 1) % 256 == 0 || i + 1 == rowCount)
                progress.showWork(RowsWrittenText(tableName, i + 1, rowCount), false);
            progress.setValue(share);
            shownShare = share;
        });
    }
    return result;
}

} // namespace tableops
