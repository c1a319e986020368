#include "app/file_exists.h"

#include <QFileInfo>

namespace app {

bool FileExists(const QString& path)
{
    return QFileInfo::exists(path);
}

} // namespace app
