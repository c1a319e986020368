#include "platform/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

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

bool FileExists(const QString& path)
{
    return QFileInfo::exists(path);
}

} // namespace platform
