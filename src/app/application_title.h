#pragma once

#include <QString>

namespace app {

inline const QString kProductName = QStringLiteral("Mirravel");

// The title of plain boxes: the product name cut back at its last blank until it is at most
// 40 characters long. A name without a blank is kept whole.
QString SetApplicationTitle(const QString& productName);

} // namespace app
