#include "app/widgets/form_colours.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QWidget>

namespace app {

QColor ButtonFaceColour()
{
    // Windows' own button face, which its classic colours keep light under any theme: the pages'
    // black captions are drawn on it. A dark desktop palette would leave them unreadable.
    return QColor::fromRgb(0xF0F0F0);
}

namespace {

void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

void ApplyFormColours(QWidget* form)
{
    const QColor face = ButtonFaceColour();
    setBackground(form, face);
    for (QWidget* child : form->findChildren<QWidget*>()) {
        if (qobject_cast<QGroupBox*>(child) || qobject_cast<QLabel*>(child) || qobject_cast<QCheckBox*>(child)
            || qobject_cast<QRadioButton*>(child))
            setBackground(child, face);
    }
}

} // namespace app
