#include "tableops/definition_transfer.h"

#include "app/controls.h"
#include "app/step_trap.h"
#include "oracle/connection.h"
#include "oracle/sql_statements.h"

#include <vector>

namespace tableops {

namespace {

enum class TypeFamily { Character, NationalCharacter, Raw, Number, Float, Other };

TypeFamily familyOf(const QString& upperType)
{
    if (upperType == QLatin1String("VARCHAR2") || upperType == QLatin1String("VARCHAR") || upperType == QLatin1String("CHAR"))
        return TypeFamily::Character;
    if (upperType == QLatin1String("NVARCHAR2") || upperType == QLatin1String("NCHAR"))
        return TypeFamily::NationalCharacter;
    if (upperType == QLatin1String("RAW"))
        return TypeFamily::Raw;
    if (upperType == QLatin1String("NUMBER"))
        return TypeFamily::Number;
    if (upperType == QLatin1String("FLOAT"))
        return TypeFamily::Float;
    return TypeFamily::Other;
}

// A length the type syntax takes: a whole number from 1 to 8000, as the catalogue wrote it.
bool usableLength(const QString& text)
{
    bool isNumber = false;
    const qlonglong length = text.trimmed().toLongLong(&isNumber);
    return isNumber && length >= 1 && length <= 8000;
}

bool isWholeNumber(const QString& text)
{
    bool isNumber = false;
    text.trimmed().toLongLong(&isNumber);
    return isNumber;
}

QString withLength(const QString& type, const QString& length)
{
    return type + QLatin1Char('(') + length.trimmed() + QLatin1Char(')');
}

QString numberType(const CatalogueColumn& column)
{
    const bool precision = isWholeNumber(column.dataPrecision);
    const bool scale = isWholeNumber(column.dataScale);
    const QString p = column.dataPrecision.trimmed();
    const QString s = column.dataScale.trimmed();
    if (precision && scale)
        return s == QLatin1String("0") ? withLength(QStringLiteral("NUMBER"), p) : withLength(QStringLiteral("NUMBER"), p + QLatin1Char(',') + s);
    if (precision)
        return withLength(QStringLiteral("NUMBER"), p);
    if (scale)
        return withLength(QStringLiteral("NUMBER"), QStringLiteral("*,") + s);
    return QStringLiteral("NUMBER");
}

} // namespace

QString ColumnTypeText(const CatalogueColumn& column)
{
    const QString type = column.dataType.toUpper();
    switch (familyOf(type)) {
    case TypeFamily::Character: {
        const QString used = column.charUsed.trimmed().toUpper();
        if (used == QLatin1String("C") && usableLength(column.charLength))
            return type + QLatin1Char('(') + column.charLength.trimmed() + QStringLiteral(" CHAR)");
        return usableLength(column.dataLength) ? withLength(type, column.dataLength) : type;
    }
    case TypeFamily::NationalCharacter:
        // Their catalogue length counts bytes of the national character set, not characters.
        if (!column.charUsed.trimmed().isEmpty() && usableLength(column.charLength))
            return withLength(type, column.charLength);
        return usableLength(column.dataLength) ? withLength(type, column.dataLength) : type;
    case TypeFamily::Raw:
        return usableLength(column.dataLength) ? withLength(type, column.dataLength) : type;
    case TypeFamily::Number:
        return numberType(column);
    case TypeFamily::Float:
        return isWholeNumber(column.dataPrecision) ? withLength(type, column.dataPrecision) : type;
    case TypeFamily::Other:
        break;
    }
    // TIMESTAMP(6), INTERVAL DAY(2) TO SECOND(6), DATE, CLOB and the like carry all they need.
    return type;
}

bool CopyTableDefinition(app::StepTrap& trap, oracle::Connection& source, oracle::Connection& target,
                         const QString& tableName, app::EventPump& events)
{
    using oracle::sql::TableColumnsCatalogue;
    oracle::ResultSet names, types, lengths, details;
    // Each query is tried and reported on its own; without the first three there is nothing to
    // create. Without the details the columns still come out, with the catalogue's lengths.
    const bool namesRead = trap.step(162, [&] { names = source.execute(TableColumnsCatalogue(QStringLiteral("column_name"), tableName)); });
    const bool typesRead = trap.step(164, [&] { types = source.execute(TableColumnsCatalogue(QStringLiteral("data_type"), tableName)); });
    const bool lengthsRead = trap.step(166, [&] { lengths = source.execute(TableColumnsCatalogue(QStringLiteral("data_length"), tableName)); });
    if (!namesRead || !typesRead || !lengthsRead || trap.operationEnded())
        return false;
    bool detailsRead = trap.step(167, [&] {
        details = source.execute(TableColumnsCatalogue(
            QStringLiteral("data_precision, data_scale, char_length, char_used"), tableName));
    });
    if (trap.operationEnded())
        return false;

    std::vector<oracle::sql::ColumnDefinition> columns;
    while (trap.more(168, [&] { return !names.eof(); })) {
        trap.step(170, [&] { events.yield(); });
        oracle::sql::ColumnDefinition definition;
        CatalogueColumn column;
        trap.step(172, [&] { definition.name = names.value(0).toText(); });
        trap.step(176, [&] { column.dataType = types.value(0).toText().toUpper(); });
        trap.step(180, [&] { column.dataLength = oracle::ValueOrDefault(lengths.value(0), QString()); });
        if (detailsRead) {
            // One report at most: a details row that cannot be read leaves the rest to the lengths.
            detailsRead = trap.step(181, [&] {
                column.dataPrecision = oracle::ValueOrDefault(details.value(0), QString());
                column.dataScale = oracle::ValueOrDefault(details.value(1), QString());
                column.charLength = oracle::ValueOrDefault(details.value(2), QString());
                column.charUsed = oracle::ValueOrDefault(details.value(3), QString());
            });
        }
        trap.step(182, [&] { definition.typeText = ColumnTypeText(column); });
        columns.push_back(definition);
        trap.step(196, [&] { names.moveNext(); });
        trap.step(198, [&] { types.moveNext(); });
        trap.step(200, [&] { lengths.moveNext(); });
        if (detailsRead)
            detailsRead = trap.step(201, [&] { details.moveNext(); });
    }
    trap.step(202, [&] { names.close(); });
    trap.step(204, [&] { types.close(); });
    trap.step(206, [&] { lengths.close(); });
    if (details.isOpen())
        trap.step(207, [&] { details.close(); });
    if (trap.operationEnded())
        return false;

    QString statement;
    trap.step(208, [&] { statement = oracle::sql::CreateTable(tableName, columns); });
    return trap.step(222, [&] { target.execute(statement); });
}

} // namespace tableops
