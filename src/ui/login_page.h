#pragma once

#include "desktop/qt_ports.h"
#include "oracle/connection_profile.h"
#include "ui/page_layouts.h"
#include "ui/page_services.h"

#include <QWidget>
#include <array>

class QLineEdit;

namespace ui {

class PointerRules;
class TablesPageAccess;

// The login page (the design's Form1): the two connection profiles, their help and tests, and
// "Next >". Its six fields are the only holder of the profiles; every operation reads them again
// when it runs.
class LoginPage : public QWidget, public oracle::ProfileSource {
    Q_OBJECT
public:
    LoginPage(PageServices& services, TablesPageAccess& pages);
    ~LoginPage() override;

    // Start-up: skin and colours, caption, the boxes' title, home page, hand cursor, the six
    // fields from the settings, and on to the tables page when both saved profiles connect. A
    // close while the lists fill ends it quietly.
    void load();
    // True when start-up went straight on to the tables page.
    bool hiddenByLoad() const { return hiddenByLoad_; }

    oracle::ConnectionProfile CurrentProfile(oracle::DatabaseSide side) const override;
    platform::PagePointer& pointer() { return pointer_; }

    // The buttons' handlers. While "Next >" fills the lists, it and the connection tests ignore
    // clicks.
    void goToTablesPage();                           // "Next >"
    void testConnection(oracle::DatabaseSide side);  // "Test Connection"
    void showHelp();                                 // "Help"
    void showSidHelp(oracle::DatabaseSide side);     // "?"

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireControls();
    void runLoadSteps();
    void runGoToTablesPageSteps();
    void showSidHelpUnder(const QString& procedurePath, bool withLobNote);
    // Once per run: the settings cannot be written, so typed logins are not kept.
    void tellLoginsNotRemembered();

    // The side's profile as the connection string of the driver in use.
    QString connectionString(oracle::DatabaseSide side) const;
    // Whether the side's profile connects; a failure is journaled under the action's name, with the
    // driver's reason.
    bool connects(oracle::DatabaseSide side, const QString& action) const;
    void journalFailedLogin(const QString& action, oracle::DatabaseSide side, const QString& failure) const;
    QLineEdit* sidBox(oracle::DatabaseSide side) const;
    QLineEdit* userBox(oracle::DatabaseSide side) const;
    QLineEdit* passwordBox(oracle::DatabaseSide side) const;

    PageServices& services_;
    TablesPageAccess& pages_;
    desktop::WindowPointer pointer_;
    LoginPageControls controls_;
    PointerRules* pointerRules_ = nullptr;
    bool hiddenByLoad_ = false;
    bool fillingLists_ = false;
    bool toldLoginsNotRemembered_ = false;
    QLineEdit* resumeTypingIn_ = nullptr;
};

// The settings key of each login field, in the order of LoginPageControls::fields.
extern const std::array<QString, 6> kLoginFieldKeys;

} // namespace ui
