#include "oracle/sql_statements.h"

namespace oracle::sql {

QString QuotedIdentifier(const QString& name)
{
    if (!name.contains(QLatin1Char('"')))
        return QLatin1Char('"') + name + QLatin1Char('"');
    QString inner = name;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString QuotedLiteral(const QString& text)
{
    if (!text.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    QString inner = text;
    inner.replace(QLatin1String("'"), QLatin1String("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString UserTables()
{
    return QStringLiteral("SELECT table_name FROM user_tables");
}

QString TableColumnsCatalogue(const QString& column, const QString& tableName)
{
    return QStringLiteral("SELECT ") + column + QStringLiteral(" FROM all_tab_columns WHERE  table_name = ")
        + QuotedLiteral(tableName);
}

QString CreateTable(const QString& tableName, const std::vector<ColumnDefinition>& columns)
{
    QString text = QStringLiteral("CREATE TABLE ") + QuotedIdentifier(tableName) + QLatin1Char('(');
    for (const ColumnDefinition& column : columns)
        text += QuotedIdentifier(column.name) + QLatin1Char(' ') + column.typeText + QLatin1Char(',');
    // Drops the final comma; with no column at all the database rejects the text and says why.
    text.chop(1);
    return text + QLatin1Char(')');
}

QString DropTable(const QString& tableName)
{
    return QStringLiteral("DROP TABLE ") + QuotedIdentifier(tableName);
}

QString RenameTable(const QString& oldName, const QString& newName)
{
    return QStringLiteral("RENAME ") + QuotedIdentifier(oldName) + QStringLiteral(" TO ") + QuotedIdentifier(newName);
}

QString SelectAllRows(const QString& tableName)
{
    return QStringLiteral("SELECT * FROM ") + QuotedIdentifier(tableName);
}

QString InsertRow(const QString& tableName, const QStringList& literals)
{
    return QStringLiteral("INSERT INTO ") + QuotedIdentifier(tableName) + QStringLiteral(" VALUES(")
        + literals.join(QStringLiteral(", ")) + QLatin1Char(')');
}

} // namespace oracle::sql

#include "oracle/field_value.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

namespace oracle::sql {

QString ValueLiteral(const FieldValue& value, short sqlType)
{
    switch (value.kind) {
    case FieldValue::Kind::Null:
        return QStringLiteral("''");
    case FieldValue::Kind::Boolean:
        return value.boolean ? QStringLiteral("1") : QStringLiteral("0");
    case FieldValue::Kind::Binary:
        return QuotedLiteral(value.toText());
    case FieldValue::Kind::Text:
        break;
    }
    if (value.text.isEmpty())
        return QStringLiteral("''");
    switch (sqlType) {
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return QStringLiteral("{ts ") + QuotedLiteral(value.text) + QLatin1Char('}');
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return QStringLiteral("{d ") + QuotedLiteral(value.text) + QLatin1Char('}');
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return QStringLiteral("{t ") + QuotedLiteral(value.text) + QLatin1Char('}');
    default:
        return QuotedLiteral(value.text);
    }
}

} // namespace oracle::sql
