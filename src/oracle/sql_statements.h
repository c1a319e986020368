#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace oracle {

// Every SQL text the program sends is built here, one function per statement kind.
namespace sql {

// "name" with every double quote inside doubled, so no name can end the identifier early.
QString QuotedIdentifier(const QString& name);
// 'text' with every single quote doubled.
QString QuotedLiteral(const QString& text);

QString UserTables();
// One of the three column catalogue queries; column is "column_name", "data_type" or "data_length".
QString TableColumnsCatalogue(const QString& column, const QString& tableName);

struct ColumnDefinition {
    QString name;
    QString typeText;
};
QString CreateTable(const QString& tableName, const std::vector<ColumnDefinition>& columns);
QString DropTable(const QString& tableName);
QString RenameTable(const QString& oldName, const QString& newName);
QString SelectAllRows(const QString& tableName);
// literals: each value already in its SQL form ('text', 1, {ts '...'}).
QString InsertRow(const QString& tableName, const QStringList& literals);

} // namespace sql
} // namespace oracle

namespace oracle {
struct FieldValue;
namespace sql {
// A row value in the SQL form that loads it unchanged whatever the session's settings:
// texts and numbers quoted, NULL as '', Booleans as 1 or 0, bytes as quoted hexadecimal,
// dates and timestamps as ODBC escapes.
QString ValueLiteral(const FieldValue& value, short sqlType);
} // namespace sql
} // namespace oracle
