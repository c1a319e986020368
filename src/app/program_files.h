#pragma once

#include <QString>

namespace app {

// Where the program's optional files live: the program's own folder, no trailing separator.
QString ApplicationFolder();
QString SkinFilePath(const QString& folder);
QString HandCursorPath(const QString& folder);

} // namespace app
