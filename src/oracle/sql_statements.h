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
// A column catalogue query: the given columns ("column_name", "data_type", ...) of the login's
// own table of that name, its visible columns in declared column order. Without the owner, a
// same-named table of another schema would add its columns; without the order, the queries of
// one table could disagree on which row is which column. Invisible columns have no column_id
// (and SELECT * leaves them out), so every query leaves them out alike.
QString TableColumnsCatalogue(const QString& columns, const QString& tableName);
// The names of the table's invisible columns, which a copy leaves out.
QString InvisibleColumns(const QString& tableName);
// Who a connection is: the login's user as its own database knows it (its id and creation time
// differ between two installs even where the names agree), and the database by its id, which a
// primary and its standbys share and separately made databases do not; servers before pluggable
// databases refuse the id (ORA-02003) and give the database's name instead, which a standby
// shares with its primary.
QString SessionUser();
QString DatabaseId();
QString DatabaseName();

struct ColumnDefinition {
    QString name;
    QString typeText;
};
QString CreateTable(const QString& tableName, const std::vector<ColumnDefinition>& columns);
QString DropTable(const QString& tableName);
QString RenameTable(const QString& oldName, const QString& newName);
QString SelectAllRows(const QString& tableName);
// INSERT INTO "T" VALUES(?, ?, ...): one marker per value, for rows sent as bound values.
QString InsertBoundRow(const QString& tableName, int columnCount);

// INSERT INTO "T" VALUES(...) for one row after another, each value in the SQL form that loads
// it unchanged whatever the session's settings: texts and numbers quoted, NULL as '', Booleans as
// 1 or 0, bytes as quoted hexadecimal, dates and timestamps as ODBC escapes, a NUL character as
// CHR(0) joined to the pieces around it (it would end the statement text). The text is built in
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
    void appendQuoted(QByteArrayView utf8);
    void appendUtf8(QByteArrayView utf8);

    QString prefix_;
    QString text_;
    bool first_ = true;
    // Stateless, and a leading U+FEFF is a character of the value, not a byte-order mark.
    QStringDecoder decoder_{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};
};

} // namespace sql
} // namespace oracle
