#include "ui/frame.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace ui {

Frame::Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void Frame::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // Styles take the caption's colour from the option's text colour or, without one, from the
    // palette's window text: both are black here.
    const QColor black = QColor::fromRgb(0x000000);
    option.textColor = black;
    option.palette.setColor(QPalette::WindowText, black);
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

} // namespace ui
