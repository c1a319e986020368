#include "platform/journal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace platform {

namespace {

// The journal names SIDs, users and drivers' messages: what it makes is its user's alone. On
// Windows it lives in the user's own application data, which is private already; what is made
// there inherits its rules.
#ifndef Q_OS_WIN
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
#endif

bool makeFolder(const QString& path)
{
    const QFileInfo folder(path);
    if (folder.isDir())
        return true;
#ifdef Q_OS_WIN
    return QDir().mkpath(path);
#else
    // Each folder it makes, as XDG asks of a missing state folder, for the user alone.
    const QString parent = folder.absolutePath();
    return parent != folder.absoluteFilePath() && makeFolder(parent)
        && (QDir().mkdir(path, kOwnerOnly | QFileDevice::ExeOwner) || QFileInfo(path).isDir());
#endif
}

bool openForAppending(QFile& file)
{
    // Unbuffered: a write that fails shows at once, not when the file is closed.
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
#ifdef Q_OS_WIN
    return file.open(mode);
#else
    return file.open(mode, kOwnerOnly);
#endif
}

// A journal an earlier version left readable by others becomes its user's alone as well.
void keepPrivate(const QString& path)
{
#ifndef Q_OS_WIN
    if (QFileInfo(path).isFile())
        QFile::setPermissions(path, kOwnerOnly);
#else
    Q_UNUSED(path);
#endif
}

} // namespace

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
    if (!makeFolder(info.absolutePath())) {
        complain(QStringLiteral("its folder cannot be made"));
        return;
    }
    const QString older = path_ + QStringLiteral(".1");
    keepPrivate(path_);
    keepPrivate(older);
    if (info.exists() && info.size() + bytes.size() > limit_) {
        QFile::remove(older);
        QFile::rename(path_, older);
    }
    QFile file(path_);
    if (!openForAppending(file)) {
        complain(file.errorString());
        return;
    }
    // A line is kept whole or not at all: what a full disk took of it is taken back.
    const qint64 before = file.size();
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        if (written > 0)
            file.resize(before);
        complain(written < 0 ? file.errorString()
                             : QStringLiteral("only %1 of a line's %2 bytes could be written").arg(written).arg(bytes.size()));
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
