#include "desktop/skin.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QRadioButton>
#include <QWidget>
#include <QtEndian>

#include <stdexcept>

namespace desktop {

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

std::optional<QCursor> LoadCursorFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    // Icon directory: reserved 0, type 2 (cursor), count; then 16-byte entries whose
    // bytes 4 to 7 hold the hotspot.
    if (data.size() < 22 || qFromLittleEndian<quint16>(data.constData()) != 0
        || qFromLittleEndian<quint16>(data.constData() + 2) != 2)
        return std::nullopt;
    const int hotX = qFromLittleEndian<quint16>(data.constData() + 10);
    const int hotY = qFromLittleEndian<quint16>(data.constData() + 12);
    QImage image = QImage::fromData(data, "CUR");
    if (image.isNull())
        image = QImage::fromData(data, "ICO");
    if (image.isNull())
        return std::nullopt;
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

QCursor LoadCursorFileOrFail(const QString& path)
{
    if (auto cursor = LoadCursorFile(path))
        return *cursor;
    throw std::runtime_error("Invalid picture");
}

} // namespace desktop
