#pragma once

#include <QCursor>
#include <QString>
#include <optional>

namespace app {

// Reads a Windows cursor file (.cur), keeping its hotspot. Empty when it cannot be read.
std::optional<QCursor> LoadCursorFile(const QString& path);
// The same for a file that must load: a broken file fails like an invalid picture.
QCursor LoadCursorFileOrFail(const QString& path);

} // namespace app
