#pragma once

// Both pages' controls as designed, built in one place per page.

#include <array>
#include <vector>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
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

// The tables page's controls as designed: placed in twips, named as the design names them
// ("List1", "PushButton3", "ProgressBar1", ...), in the designed tab order, with the focus in side
// 2's list. Where a control comes one a side, side 1's is first.
struct TablesPageControls {
    std::array<QGroupBox*, 2> frames{};                // Frame1, Frame2
    std::array<QListWidget*, 2> lists{};               // List1, List2
    std::array<QPushButton*, 2> selectAllButtons{};    // PushButton1, PushButton6
    std::array<QPushButton*, 2> deselectAllButtons{};  // PushButton2, PushButton7
    std::array<QPushButton*, 2> sendButtons{};         // PushButton3, PushButton8, "Send Table(s) To Oracle #2" / "#1"
    std::array<QPushButton*, 2> deleteButtons{};       // PushButton4, PushButton9
    std::array<QPushButton*, 2> renameButtons{};       // PushButton5, PushButton10
    QPushButton* backButton = nullptr;                 // PushButton11, "< Back"
    QPushButton* helpButton = nullptr;                 // PushButton12, "Help"
    QProgressBar* progressBar = nullptr;               // ProgressBar1

    // Every button, in the design's numbering.
    std::vector<QPushButton*> buttons() const;
};

TablesPageControls BuildTablesPageControls(QWidget* page);

} // namespace ui
