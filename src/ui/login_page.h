#pragma once

#include "app/widgets/window_pointer.h"
#include "oracle/connection_profile.h"
#include "ui/page_services.h"

#include <QWidget>
#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

class PointerRules;
class TablesPageAccess;

// Form1: the two connection profiles, their help and tests, and "Next >". Its six fields are the
// only holder of the profiles; every operation reads them again when it runs.
class LoginPage : public QWidget, public oracle::ProfileSource {
    Q_OBJECT
public:
    LoginPage(PageServices& services, TablesPageAccess& pages);
    ~LoginPage() override;

    // Start-up: skin and colours, caption, title, home page, hand cursor, the six fields from the
    // settings, and the jump to the tables page when both saved profiles connect. A close while
    // the lists fill ends it quietly.
    void Form_Load();
    // True when start-up went straight to the tables page.
    bool hiddenByLoad() const { return hiddenByLoad_; }

    oracle::ConnectionProfile CurrentProfile(oracle::DatabaseSide side) const override;
    app::PagePointer& pointer() { return pointer_; }

    // While "Next >" fills the lists, it and the connection tests ignore clicks.
    void PushButton2_Click();  // "Next >"
    void PushButton3_Click();  // Test Connection, side 1
    void PushButton4_Click();  // "Help"
    void PushButton5_Click();  // Test Connection, side 2
    void PushButton6_Click();  // "?" side 1
    void PushButton7_Click();  // "?" side 2

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void loadSteps();
    void nextSteps();
    // Once per run: the settings cannot be written, so typed logins are not kept.
    void tellLoginsNotRemembered();
    void testConnection(oracle::DatabaseSide side);
    void showSidHelp(const QString& procedurePath, bool withNote);

    PageServices& services_;
    TablesPageAccess& pages_;
    app::WindowPointer pointer_;
    PointerRules* pointerRules_ = nullptr;
    bool hiddenByLoad_ = false;
    bool fillingLists_ = false;
    bool toldLoginsNotRemembered_ = false;
    QLineEdit* resumeTypingIn_ = nullptr;

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QLineEdit*, 6> texts_{};  // Text1 to Text6
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton5 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton7 = nullptr;
};

// The settings key of each login field, Text1 to Text6.
extern const std::array<QString, 6> kLoginFieldKeys;

} // namespace ui
