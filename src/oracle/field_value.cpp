#include "oracle/field_value.h"

namespace oracle {

QString FieldValue::toText() const
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
