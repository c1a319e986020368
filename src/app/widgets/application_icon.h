#pragma once

#include <QIcon>

namespace app {

// The program's icon, from its resources.
QIcon ApplicationIcon();

} // namespace app
