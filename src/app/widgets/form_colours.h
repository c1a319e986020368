#pragma once

#include <QColor>

class QWidget;

namespace app {

// The system's button-face colour.
QColor ButtonFaceColour();

// Gives the form, its frames, labels, option buttons and check boxes the button-face colour.
void ApplyFormColours(QWidget* form);

} // namespace app
