#pragma once

#include <QColor>

class QWidget;

namespace app {

// The button-face colour as Windows draws it, light whatever the desktop's theme.
QColor ButtonFaceColour();

// Gives the form, its frames, labels, option buttons and check boxes the button-face colour.
void ApplyFormColours(QWidget* form);

} // namespace app
