#pragma once

#include <QString>

namespace platform {
class StepTrap;
}

namespace ui {

// The SID help, assembled under the handler's numbered steps 100 to 124.
QString SidHelpText(platform::StepTrap& trap);

inline const QString kLobNote = QStringLiteral("This software does not support the CLOB and NLOB data type in Oracle.");
QString TablesPageHelpText();

} // namespace ui
