#pragma once

#include <QByteArray>
#include <QString>

namespace oracle {

// One value of a result row, exactly as the driver gave it.
struct FieldValue {
    enum class Kind : unsigned char { Null, Text, Binary, Boolean };

    Kind kind = Kind::Null;
    QString text;      // Text: the driver's own rendering
    QByteArray bytes;  // Binary
    bool boolean = false;

    static FieldValue null() { return {}; }
    static FieldValue fromText(QString value) { FieldValue v; v.kind = Kind::Text; v.text = std::move(value); return v; }
    static FieldValue fromBytes(QByteArray value) { FieldValue v; v.kind = Kind::Binary; v.bytes = std::move(value); return v; }
    static FieldValue fromBoolean(bool value) { FieldValue v; v.kind = Kind::Boolean; v.boolean = value; return v; }

    bool isNull() const { return kind == Kind::Null; }
    // The value as text: null gives the empty text, bytes their hexadecimal form.
    QString toText() const;

    friend bool operator==(const FieldValue&, const FieldValue&) = default;
};

// The value's text, or the fallback when the value is null.
inline QString ValueOrDefault(const FieldValue& value, const QString& fallback)
{
    return value.isNull() ? fallback : value.toText();
}

// The column's ODBC SQL type (SQL_TYPE_TIMESTAMP and so on), next to its name.
struct ColumnInfo {
    QString name;
    short sqlType = 0;
};

inline QString FieldValue::toText() const
{
    switch (kind) {
    case Kind::Null:
        return QString();
    case Kind::Text:
        return text;
    case Kind::Binary:
        return QString::fromLatin1(bytes.toHex().toUpper());
    case Kind::Boolean:
        return boolean ? QStringLiteral("1") : QStringLiteral("0");
    }
    return QString();
}

} // namespace oracle
