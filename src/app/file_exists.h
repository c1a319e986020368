#pragma once

#include <QString>

namespace app {

// True when the path names something that exists; never fails.
bool FileExists(const QString& path);

} // namespace app
