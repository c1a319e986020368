#pragma once

#include <array>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace ui {

// The login page's controls as designed: placed in twips, named as the design names them
// ("Text1", "PushButton3", ...), in the designed tab order, with the focus in side 1's SID box.
// Where a control comes one a side, side 1's is first.
struct LoginPageControls {
    QPushButton* helpButton = nullptr;             // PushButton4, "Help"
    std::array<QGroupBox*, 2> loginFrames{};       // Frame1, Frame2
    // Text1 to Text6: SID, user name and password of side 1, then of side 2.
    std::array<QLineEdit*, 6> fields{};
    std::array<QPushButton*, 2> sidHelpButtons{};  // PushButton6, PushButton7, "?"
    std::array<QPushButton*, 2> testButtons{};     // PushButton3, PushButton5, "Test Connection"
    QPushButton* nextButton = nullptr;             // PushButton2, "Next >"
};

LoginPageControls BuildLoginPageControls(QWidget* page);

} // namespace ui
