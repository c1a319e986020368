#include "tableops/definition_transfer.h"

#include "app/controls.h"
#include "app/step_trap.h"
#include "oracle/odbc_connection.h"
#include "oracle/sql_statements.h"

#include <vector>

namespace tableops {

namespace {

// Types whose catalogue length is a length in the type's own syntax. NUMBER(22), FLOAT(22),
// TIMESTAMP(6)(11) and the like would change or reject the column.
bool takesLength(const QString& upperType)
{
    static const QStringList types = {QStringLiteral("VARCHAR2"), QStringLiteral("VARCHAR"),
                                      QStringLiteral("NVARCHAR2"), QStringLiteral("CHAR"),
                                      QStringLiteral("NCHAR"),     QStringLiteral("RAW")};
    return types.contains(upperType);
}

} // namespace

QString ColumnTypeText(const QString& dataType, const QString& dataLengthText)
{
    const QString type = dataType.toUpper();
    if (dataLengthText.isEmpty())
        return type;
    bool isNumber = false;
    const qlonglong length = dataLengthText.trimmed().toLongLong(&isNumber);
    if (!isNumber || length > 8000 || length < 1)
        return type;
    const QString lower = type.toLower();
    if (lower == QLatin1String("date") || lower == QLatin1String("clob") || lower == QLatin1String("blob"))
        return type;
    if (!takesLength(type))
        return type;
    return type + QLatin1Char('(') + dataLengthText + QLatin1Char(')');
}

bool CopyTableDefinition(app::StepTrap& trap, oracle::Connection& source, oracle::Connection& target,
                         const QString& tableName, app::EventPump& events)
{
    using oracle::sql::TableColumnsCatalogue;
    oracle::ResultSet names, types, lengths;
    // Each query is tried and reported on its own; without all three there is nothing to create.
    const bool namesRead = trap.step(162, [&] { names = source.execute(TableColumnsCatalogue(QStringLiteral("column_name"), tableName)); });
    const bool typesRead = trap.step(164, [&] { types = source.execute(TableColumnsCatalogue(QStringLiteral("data_type"), tableName)); });
    const bool lengthsRead = trap.step(166, [&] { lengths = source.execute(TableColumnsCatalogue(QStringLiteral("data_length"), tableName)); });
    if (!namesRead || !typesRead || !lengthsRead || trap.operationEnded())
        return false;

    std::vector<oracle::sql::ColumnDefinition> columns;
    while (trap.more(168, [&] { return !names.eof(); })) {
        trap.step(170, [&] { events.yield(); });
        oracle::sql::ColumnDefinition column;
        QString dataType, lengthText;
        trap.step(172, [&] { column.name = names.value(0).toText(); });
        trap.step(176, [&] { dataType = types.value(0).toText().toUpper(); });
        trap.step(180, [&] { lengthText = oracle::ValueOrDefault(lengths.value(0), QString()); });
        trap.step(182, [&] { column.typeText = ColumnTypeText(dataType, lengthText); });
        columns.push_back(column);
        trap.step(196, [&] { names.moveNext(); });
        trap.step(198, [&] { types.moveNext(); });
        trap.step(200, [&] { lengths.moveNext(); });
    }
    trap.step(202, [&] { names.close(); });
    trap.step(204, [&] { types.close(); });
    trap.step(206, [&] { lengths.close(); });
    if (trap.operationEnded())
        return false;

    QString statement;
    trap.step(208, [&] { statement = oracle::sql::CreateTable(tableName, columns); });
    return trap.step(222, [&] { target.execute(statement); });
}

} // namespace tableops
