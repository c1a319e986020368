#include "platform/journal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace platform {

FileJournal::FileJournal(QString path, qint64 limitBytes) : path_(std::move(path)), limit_(limitBytes) {}

QString FileJournal::defaultPath()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The XDG state folder, where logs belong (Qt knows it as a location only from 6.7 on).
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/mirravel/journal.log");
#else
    // %LOCALAPPDATA% on Windows, the Application Support folder on macOS.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Mirravel/journal.log");
#endif
}

void FileJournal::record(const QString& event)
{
    // One event, one line, whatever the driver's text held.
    QString line = event;
    line.replace(QLatin1String("\r\n"), QLatin1String(" | "));
    line.replace(QLatin1Char('\n'), QLatin1String(" | "));
    line.replace(QLatin1Char('\r'), QLatin1String(" | "));
    const QByteArray bytes =
        (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + QLatin1Char(' ') + line
         + QLatin1Char('\n'))
            .toUtf8();

    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath())) {
        complain(QStringLiteral("its folder cannot be made"));
        return;
    }
    if (info.exists() && info.size() + bytes.size() > limit_) {
        const QString older = path_ + QStringLiteral(".1");
        QFile::remove(older);
        QFile::rename(path_, older);
    }
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size()) {
        complain(file.errorString());
        return;
    }
}

void FileJournal::complain(const QString& reason)
{
    if (complained_)
        return;
    complained_ = true;
    const QByteArray text = QStringLiteral("Mirravel: the journal %1 cannot be written (%2); nothing will be kept there.\n")
                                .arg(QDir::toNativeSeparators(path_), reason)
                                .toLocal8Bit();
    std::fputs(text.constData(), stderr);
    std::fflush(stderr);
}

} // namespace platform
