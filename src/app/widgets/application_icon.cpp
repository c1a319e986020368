#include "app/widgets/application_icon.h"

namespace app {

QIcon ApplicationIcon()
{
    return QIcon(QStringLiteral(":/mirravel/mirravel.png"));
}

} // namespace app
