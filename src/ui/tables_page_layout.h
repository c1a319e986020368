#pragma once

#include <array>
#include <vector>

class QGroupBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QWidget;

namespace ui {

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
