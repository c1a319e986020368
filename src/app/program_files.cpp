#include "app/program_files.h"

#include <QCoreApplication>
#include <QDir>

namespace app {

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

} // namespace app
