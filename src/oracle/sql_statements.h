#pragma once

#include "oracle/field_value.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
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

// INSERT INTO "T" VALUES(...) for one row after another, each value in the SQL form that loads
// it unchanged whatever the session's settings: texts and numbers quoted, NULL as '', Booleans as
// 1 or 0, bytes as quoted hexadecimal, dates and timestamps as ODBC escapes. The text is built in
// place, values straight from UTF-8 where the caller holds them so, since a copy builds one per row.
class InsertRowStatement {
public:
    explicit InsertRowStatement(const QString& tableName);

    void start();
    void add(const FieldValue& value, short sqlType);
    void addNull();
    void addBoolean(bool value);
    void addBytes(QByteArrayView bytes);
    void addText(QByteArrayView utf8, short sqlType);
    const QString& finish();
    const QString& text() const { return text_; }

private:
    void separate();
    void appendUtf8(QByteArrayView utf8);

    QString prefix_;
    QString text_;
    bool first_ = true;
    QStringDecoder decoder_{QStringDecoder::Utf8};
};

} // namespace sql
} // namespace oracle
