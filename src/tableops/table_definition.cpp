#include "tableops/table_definition.h"

#include "oracle/sql_statements.h"

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

// The longest lengths a declaration takes, with MAX_STRING_SIZE=EXTENDED: 32767 bytes, which in
// the national character set (two bytes a character) are 16383 characters. A database without
// extended strings refuses what it cannot hold and says so.
constexpr qlonglong kLongestBytes = 32767;
constexpr qlonglong kLongestNationalCharacters = 16383;

// A length the type syntax takes: a whole number from 1 to the longest, as the catalogue wrote it.
bool usableLength(const QString& text, qlonglong longest)
{
    bool isNumber = false;
    const qlonglong length = text.trimmed().toLongLong(&isNumber);
    return isNumber && length >= 1 && length <= longest;
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

QString characterType(const QString& type, const CatalogueColumn& column)
{
    const QString used = column.charUsed.trimmed().toUpper();
    if (used == QLatin1String("C") && usableLength(column.charLength, kLongestBytes))
        return withLength(type, column.charLength.trimmed() + QStringLiteral(" CHAR"));
    if (!usableLength(column.dataLength, kLongestBytes))
        return type;
    if (used == QLatin1String("B"))
        return withLength(type, column.dataLength.trimmed() + QStringLiteral(" BYTE"));
    return withLength(type, column.dataLength);
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
    QString type = column.dataType.toUpper();
    switch (familyOf(type)) {
    case TypeFamily::Character:
        return characterType(type, column);
    case TypeFamily::NationalCharacter:
        // Their catalogue length counts bytes of the national character set, not characters.
        if (!column.charUsed.trimmed().isEmpty() && usableLength(column.charLength, kLongestNationalCharacters))
            return withLength(type, column.charLength);
        return usableLength(column.dataLength, kLongestBytes) ? withLength(type, column.dataLength) : type;
    case TypeFamily::Raw:
        return usableLength(column.dataLength, kLongestBytes) ? withLength(type, column.dataLength) : type;
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

QString CreateTableText(const TableDefinition& definition)
{
    std::vector<oracle::sql::ColumnDefinition> columns;
    columns.reserve(definition.columns.size());
    for (const CatalogueColumn& column : definition.columns)
        columns.push_back({column.name, ColumnTypeText(column)});
    return oracle::sql::CreateTable(definition.tableName, columns);
}

} // namespace tableops
