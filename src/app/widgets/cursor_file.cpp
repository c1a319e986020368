#include "app/widgets/cursor_file.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

#include <stdexcept>

namespace app {

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

} // namespace app
