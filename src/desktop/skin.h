#pragma once

// What the pages wear beyond their design: the form colours a skin asks for, and the hand cursor
// read from the program's folder.

#include <QColor>
#include <QCursor>
#include <QString>
#include <optional>

class QWidget;

namespace desktop {

// The button-face colour as Windows draws it, light whatever the desktop's theme.
QColor ButtonFaceColour();

// Gives the form, its frames, labels, option buttons and check boxes the button-face colour.
void ApplyFormColours(QWidget* form);

// Reads a Windows cursor file (.cur), keeping its hotspot. Empty when it cannot be read.
std::optional<QCursor> LoadCursorFile(const QString& path);
// The same for a file that must load: a broken file fails like an invalid picture.
QCursor LoadCursorFileOrFail(const QString& path);

} // namespace desktop
