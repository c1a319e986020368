#pragma once

#include <QString>

namespace platform {

// Where the program's optional files live: the program's own folder, no trailing separator.
QString ApplicationFolder();
QString SkinFilePath(const QString& folder);
QString HandCursorPath(const QString& folder);

// True when the path names something that exists; never fails.
bool FileExists(const QString& path);

} // namespace platform
