#include "tableops/definition_transfer.h"

#include "app/controls.h"
#include "app/step_trap.h"
#include "oracle/connection.h"
#include "oracle/sql_statements.h"

namespace tableops {

std::optional<TableDefinition> ReadTableDefinition(app::StepTrap& trap, oracle::Connection& source,
                                                   const QString& tableName, app::EventPump& events)
{
    using oracle::sql::TableColumnsCatalogue;
    TableDefinition definition{tableName, {}, {}};
    oracle::ResultSet names, types, lengths, details;
    // The first report ends the reading: the rest of a catalogue that failed once would only fail
    // again, and part of a table is not to be created.
    if (!trap.step(162, [&] { names = source.execute(TableColumnsCatalogue(QStringLiteral("column_name"), tableName)); }))
        return std::nullopt;
    trap.step(163, [&] {
        for (oracle::ResultSet invisible = source.execute(oracle::sql::InvisibleColumns(tableName)); !invisible.eof();
             invisible.moveNext())
            definition.invisibleColumns << invisible.value(0).toText();
    });
    if (trap.operationEnded()
        || !trap.step(164, [&] { types = source.execute(TableColumnsCatalogue(QStringLiteral("data_type"), tableName)); })
        || !trap.step(166, [&] { lengths = source.execute(TableColumnsCatalogue(QStringLiteral("data_length"), tableName)); }))
        return std::nullopt;
    bool detailsRead = trap.step(167, [&] {
        details = source.execute(TableColumnsCatalogue(
            QStringLiteral("data_precision, data_scale, char_length, char_used"), tableName));
    });
    if (trap.operationEnded())
        return std::nullopt;

    bool whole = true;
    for (;;) {
        bool atEnd = true;
        if (!trap.step(168, [&] { atEnd = names.eof(); })) {
            whole = false;
            break;
        }
        if (atEnd)
            break;
        trap.step(170, [&] { events.yield(); });
        CatalogueColumn column;
        if (!trap.step(172, [&] { column.name = names.value(0).toText(); })
            || !trap.step(176, [&] { column.dataType = types.value(0).toText().toUpper(); })
            || !trap.step(180, [&] { column.dataLength = oracle::ValueOrDefault(lengths.value(0), QString()); })) {
            whole = false;
            break;
        }
        if (detailsRead) {
            // One report at most: a details row that cannot be read leaves the rest to the lengths.
            detailsRead = trap.step(181, [&] {
                column.dataPrecision = oracle::ValueOrDefault(details.value(0), QString());
                column.dataScale = oracle::ValueOrDefault(details.value(1), QString());
                column.charLength = oracle::ValueOrDefault(details.value(2), QString());
                column.charUsed = oracle::ValueOrDefault(details.value(3), QString());
            });
        }
        definition.columns.push_back(std::move(column));
        if (!trap.step(196, [&] { names.moveNext(); }) || !trap.step(198, [&] { types.moveNext(); })
            || !trap.step(200, [&] { lengths.moveNext(); })) {
            whole = false;
            break;
        }
        if (detailsRead)
            detailsRead = trap.step(201, [&] { details.moveNext(); });
    }
    if (names.isOpen())
        trap.step(202, [&] { names.close(); });
    if (types.isOpen())
        trap.step(204, [&] { types.close(); });
    if (lengths.isOpen())
        trap.step(206, [&] { lengths.close(); });
    if (details.isOpen())
        trap.step(207, [&] { details.close(); });
    if (!whole || trap.operationEnded())
        return std::nullopt;
    return definition;
}

bool CreateTableFromDefinition(app::StepTrap& trap, oracle::Connection& target, const TableDefinition& definition)
{
    QString statement;
    return trap.step(208, [&] { statement = CreateTableText(definition); })
        && trap.step(222, [&] { target.execute(statement); });
}

} // namespace tableops
