#include "app/application_frame.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTime>
#include <QWidget>
#include <QtEndian>

#include <stdexcept>

namespace app {

QString SetApplicationTitle(const QString& productName)
{
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break;
        title = title.left(blank);
    } while (title.size() > 40);
    return title;
}

bool FileExists(const QString& path)
{
    return QFileInfo::exists(path);
}

QColor ButtonFaceColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
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

QIcon ApplicationIcon()
{
    return QIcon(QStringLiteral(":/mirravel/mirravel.png"));
}

QString ApplicationFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString SkinFilePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("x/o.cjs"));
}

QString HandCursorPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("HAND-M.CUR"));
}

HomePageVisit::HomePageVisit()
    : HomePageVisit(
          [] {
              // Seeded from the time of day, as the classic program was.
              QRandomGenerator generator(quint32(QTime::currentTime().msecsSinceStartOfDay()));
              return int(generator.bounded(100)) + 1;
          },
          [](const QUrl& url) { QDesktopServices::openUrl(url); })
{
}

HomePageVisit::HomePageVisit(Draw draw, Opener opener) : draw_(std::move(draw)), opener_(std::move(opener)) {}

void HomePageVisit::run() const
{
    if (draw_() == 7)
        opener_(QUrl(kHomePageAddress));
}

} // namespace app
