#include "oracle/sql_statements.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>

namespace oracle::sql {

namespace {

// The text between two quote characters, each one inside doubled so none can end it early.
QString quoted(const QString& text, QChar quote)
{
    if (!text.contains(quote))
        return quote + text + quote;
    QString inner = text;
    inner.replace(quote, QString(2, quote));
    return quote + inner + quote;
}

} // namespace

QString QuotedIdentifier(const QString& name) { return quoted(name, QLatin1Char('"')); }

QString QuotedLiteral(const QString& text) { return quoted(text, QLatin1Char('\'')); }

QString UserTables()
{
    return QStringLiteral("SELECT table_name FROM user_tables");
}

QString TableColumnsCatalogue(const QString& columns, const QString& tableName)
{
    return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM all_tab_columns WHERE  table_name = ")
        + QuotedLiteral(tableName) + QStringLiteral(" AND owner = USER AND column_id IS NOT NULL ORDER BY column_id");
}

QString InvisibleColumns(const QString& tableName)
{
    return QStringLiteral("SELECT column_name FROM all_tab_columns WHERE  table_name = ") + QuotedLiteral(tableName)
        + QStringLiteral(" AND owner = USER AND column_id IS NULL ORDER BY column_name");
}

QString SessionUser()
{
    return QStringLiteral("SELECT username, user_id, created FROM user_users");
}

QString DatabaseId()
{
    return QStringLiteral("SELECT SYS_CONTEXT('USERENV', 'CON_DBID') FROM dual");
}

QString DatabaseName()
{
    return QStringLiteral("SELECT SYS_CONTEXT('USERENV', 'DB_NAME') FROM dual");
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

QString InsertBoundRow(const QString& tableName, int columnCount)
{
    QStringList markers;
    for (int i = 0; i < columnCount; ++i)
        markers << QStringLiteral("?");
    return QStringLiteral("INSERT INTO ") + QuotedIdentifier(tableName) + QStringLiteral(" VALUES(")
        + markers.join(QStringLiteral(", ")) + QLatin1Char(')');
}

namespace {

// The escape that opens a text literal of this column type, and what closes it.
std::pair<QLatin1StringView, QLatin1StringView> literalQuotes(short sqlType)
{
    switch (sqlType) {
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return {QLatin1StringView("{ts '"), QLatin1StringView("'}")};
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return {QLatin1StringView("{d '"), QLatin1StringView("'}")};
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return {QLatin1StringView("{t '"), QLatin1StringView("'}")};
    default:
        return {QLatin1StringView("'"), QLatin1StringView("'")};
    }
}

} // namespace

InsertRowStatement::InsertRowStatement(const QString& tableName)
    : prefix_(QStringLiteral("INSERT INTO ") + QuotedIdentifier(tableName) + QStringLiteral(" VALUES("))
{
    start();
}

void InsertRowStatement::start()
{
    text_.resize(0);
    text_.append(prefix_);
    first_ = true;
}

void InsertRowStatement::separate()
{
    if (!first_)
        text_.append(QLatin1StringView(", "));
    first_ = false;
}

void InsertRowStatement::add(const FieldValue& value, short sqlType)
{
    switch (value.kind) {
    case FieldValue::Kind::Null:
        addNull();
        break;
    case FieldValue::Kind::Boolean:
        addBoolean(value.boolean);
        break;
    case FieldValue::Kind::Binary:
        addBytes(value.bytes);
        break;
    case FieldValue::Kind::Text:
        addText(value.text.toUtf8(), sqlType);
        break;
    }
}

void InsertRowStatement::addNull()
{
    separate();
    text_.append(QLatin1StringView("''"));
}

void InsertRowStatement::addBoolean(bool value)
{
    separate();
    text_.append(value ? QLatin1Char('1') : QLatin1Char('0'));
}

void InsertRowStatement::addBytes(QByteArrayView bytes)
{
    separate();
    text_.append(QLatin1Char('\''));
    text_.append(QLatin1StringView(QByteArray::fromRawData(bytes.data(), bytes.size()).toHex().toUpper()));
    text_.append(QLatin1Char('\''));
}

void InsertRowStatement::addText(QByteArrayView utf8, short sqlType)
{
    if (utf8.isEmpty()) {
        addNull();
        return;
    }
    separate();
    const auto [open, close] = literalQuotes(sqlType);
    if (!utf8.contains('\0')) {
        text_.append(open);
        appendQuoted(utf8);
        text_.append(close);
        return;
    }
    // 'ab' || CHR(0) || 'cd': Oracle joins the pieces back into the one value.
    qsizetype from = 0;
    bool firstPiece = true;
    auto join = [&] {
        if (!firstPiece)
            text_.append(QLatin1StringView(" || "));
        firstPiece = false;
    };
    for (qsizetype nul = utf8.indexOf('\0'); nul >= 0; nul = utf8.indexOf('\0', from)) {
        if (nul > from) {
            join();
            text_.append(QLatin1Char('\''));
            appendQuoted(utf8.sliced(from, nul - from));
            text_.append(QLatin1Char('\''));
        }
        join();
        text_.append(QLatin1StringView("CHR(0)"));
        from = nul + 1;
    }
    if (from < utf8.size()) {
        join();
        text_.append(QLatin1Char('\''));
        appendQuoted(utf8.sliced(from));
        text_.append(QLatin1Char('\''));
    }
}

void InsertRowStatement::appendQuoted(QByteArrayView utf8)
{
    // A quote or NUL byte never occurs inside a multi-byte UTF-8 sequence, so the text can be cut there.
    qsizetype from = 0;
    for (qsizetype quote = utf8.indexOf('\''); quote >= 0; quote = utf8.indexOf('\'', from)) {
        appendUtf8(utf8.sliced(from, quote - from));
        text_.append(QLatin1StringView("''"));
        from = quote + 1;
    }
    appendUtf8(utf8.sliced(from));
}

void InsertRowStatement::appendUtf8(QByteArrayView utf8)
{
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        text_.append(QLatin1StringView(utf8.data(), utf8.size()));
        return;
    }
    const qsizetype old = text_.size();
    text_.resize(old + utf8.size());
    QChar* end = decoder_.appendToBuffer(text_.data() + old, utf8);
    text_.resize(end - text_.constData());
}

const QString& InsertRowStatement::finish()
{
    text_.append(QLatin1Char(')'));
    return text_;
}

} // namespace oracle::sql
