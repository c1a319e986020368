#include "ui/login_page.h"

#include "desktop/application_identity.h"
#include "desktop/skin.h"
#include "oracle/connection.h"
#include "platform/journal.h"
#include "platform/ports.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "platform/step_trap.h"
#include "ui/handler_guards.h"
#include "ui/help_texts.h"
#include "ui/page_design.h"
#include "ui/page_services.h"
#include "ui/pointer_rules.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace ui {

using oracle::DatabaseSide;

const std::array<QString, 6> kLoginFieldKeys = {
    QStringLiteral("OracleServer"),  QStringLiteral("OracleUser"),  QStringLiteral("OraclePassword"),
    QStringLiteral("OracleServer2"), QStringLiteral("OracleUser2"), QStringLiteral("OraclePassword2"),
};

LoginPage::LoginPage(PageServices& services, TablesPageAccess& pages)
    : services_(services), pages_(pages), pointer_(this)
{
    SetUpPageWindow(this, "Form1", false, 8040, 6165);
    controls_ = BuildLoginPageControls(this);
    wireControls();
    CentreOnScreen(this);
}

LoginPage::~LoginPage() = default;

void LoginPage::wireControls()
{
    const auto& fields = controls_.fields;
    for (size_t i = 0; i < fields.size(); ++i) {
        const QString& key = kLoginFieldKeys[i];
        // Every change of a field is stored at once.
        connect(fields[i], &QLineEdit::textChanged, this, [this, key](const QString& text) {
            if (!services_.settings.write(key, text))
                tellLoginsNotRemembered();
        });
        fields[i]->installEventFilter(this);
    }
    connect(controls_.nextButton, &QPushButton::clicked, this, [this] { goToTablesPage(); });
    connect(controls_.helpButton, &QPushButton::clicked, this, [this] { showHelp(); });
    for (const DatabaseSide side : {DatabaseSide::One, DatabaseSide::Two}) {
        const size_t at = oracle::SideIndex(side);
        connect(controls_.testButtons[at], &QPushButton::clicked, this, [this, side] { testConnection(side); });
        connect(controls_.sidHelpButtons[at], &QPushButton::clicked, this, [this, side] { showSidHelp(side); });
    }

    pointerRules_ = new PointerRules(pointer_, this);
    for (QPushButton* button : {controls_.nextButton, controls_.testButtons[0], controls_.helpButton,
                                controls_.testButtons[1], controls_.sidHelpButtons[0], controls_.sidHelpButtons[1]})
        pointerRules_->watchButton(button);
    pointerRules_->watchSurface(this);
    for (QGroupBox* frame : controls_.loginFrames)
        pointerRules_->watchSurface(frame);
    for (QLineEdit* field : fields)
        pointerRules_->watchSurface(field);
}

QLineEdit* LoginPage::sidBox(DatabaseSide side) const { return controls_.fields[3 * oracle::SideIndex(side)]; }

QLineEdit* LoginPage::userBox(DatabaseSide side) const { return controls_.fields[3 * oracle::SideIndex(side) + 1]; }

QLineEdit* LoginPage::passwordBox(DatabaseSide side) const { return controls_.fields[3 * oracle::SideIndex(side) + 2]; }

oracle::ConnectionProfile LoginPage::CurrentProfile(DatabaseSide side) const
{
    return {sidBox(side)->text(), userBox(side)->text(), passwordBox(side)->text()};
}

QString LoginPage::connectionString(DatabaseSide side) const { return services_.drivers.connectionString(CurrentProfile(side)); }

bool LoginPage::connects(DatabaseSide side, const QString& action) const
{
    const QString failure = oracle::ConnectionFailure(connectionString(side));
    if (!failure.isEmpty())
        journalFailedLogin(action, side, failure);
    return failure.isEmpty();
}

void LoginPage::journalFailedLogin(const QString& action, DatabaseSide side, const QString& failure) const
{
    services_.journal.record(action + QStringLiteral(": ") + oracle::LoginText(side, CurrentProfile(side))
                             + QStringLiteral(" could not connect: ") + services_.drivers.explainFailure(failure));
}

void LoginPage::tellLoginsNotRemembered()
{
    if (toldLoginsNotRemembered_)
        return;
    toldLoginsNotRemembered_ = true;
    resumeTypingIn_ = isActiveWindow() ? qobject_cast<QLineEdit*>(focusWidget()) : nullptr;
    const QString text = QStringLiteral("Your logins will not be remembered: the settings cannot be saved (")
        + services_.settings.writeProblem() + QStringLiteral(").");
    services_.dialogs.information(services_.applicationTitle, text);
}

bool LoginPage::eventFilter(QObject* watched, QEvent* event)
{
    // A field that takes the focus selects its whole content, also after a click.
    if (event->type() == QEvent::FocusIn) {
        // Back from the settings box to the field being typed in, typing goes on where it was:
        // selecting the whole text would let the next key replace it.
        const bool resumesTyping = watched == resumeTypingIn_
            && static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason;
        resumeTypingIn_ = nullptr;
        if (resumesTyping)
            return QWidget::eventFilter(watched, event);
        if (auto* text = qobject_cast<QLineEdit*>(watched)) {
            text->selectAll();
            QTimer::singleShot(0, text, [text] {
                if (text->hasFocus())
                    text->selectAll();
            });
        }
    }
    return QWidget::eventFilter(watched, event);
}

namespace {

// Where each handler's error reports say it happened, by the classic program's names (side 1's
// path, then side 2's), and the steps the handler numbers. A report "in ...Form1.PushButton2_Click
// at line 106" comes from goToTablesPage() at its step 106.
using SidePaths = std::array<const char*, 2>;
constexpr const char* kLoadPath = "Form1.Form_Load";                                         // load(): 100 to 146
constexpr const char* kGoToTablesPagePath = "Form1.PushButton2_Click";                       // goToTablesPage(): 100 to 112
constexpr const char* kHelpPath = "Form1.PushButton4_Click";                                 // showHelp(): 100 to 128
constexpr SidePaths kSidHelpPaths = {"Form1.PushButton6_Click", "Form1.PushButton7_Click"};  // showSidHelp(side): 100 to 126
// testConnection(side), "Form1.PushButton3_Click" and "Form1.PushButton5_Click", reports nothing:
// every failure of it ends in the one fixed message.

} // namespace

void LoginPage::load()
{
    const RunningMark mark(fillingLists_);
    RunUntilClosed([this] { runLoadSteps(); });
}

void LoginPage::runLoadSteps()
{
    platform::StepTrap trap(services_.dialogs, kLoadPath, &services_.events);
    trap.step(100, [&] {
        // The skin engine itself is not part of this build; its colour steps are.
        if (platform::FileExists(platform::SkinFilePath(services_.programFolder)))
            desktop::ApplyFormColours(this);
    });
    trap.step(104, [&] {
        setWindowTitle(desktop::kProductName);
        setWindowIcon(desktop::ApplicationIcon());
        services_.applicationTitle = desktop::SetApplicationTitle(desktop::kProductName);
    });
    trap.step(106, [&] { services_.homePage.run(); });
    const QString cursorPath = platform::HandCursorPath(services_.programFolder);
    if (trap.when(124, [&] { return platform::FileExists(cursorPath); })) {
        trap.step(126, [&] {
            pointer_.setCustomImage(desktop::LoadCursorFileOrFail(cursorPath));
        });
    }
    const auto& fields = controls_.fields;
    for (size_t i = 0; i < fields.size(); ++i)
        trap.step(128 + 2 * int(i), [&] { fields[i]->setText(services_.settings.read(kLoginFieldKeys[i])); });
    if (trap.when(140, [&] { return connects(DatabaseSide::One, QStringLiteral("Start-up")); })) {
        if (trap.when(142, [&] { return connects(DatabaseSide::Two, QStringLiteral("Start-up")); })) {
            trap.step(144, [&] { pages_.showTablesPage(); });
            trap.step(146, [&] {
                hide();
                hiddenByLoad_ = true;
            });
        }
    }
}

void LoginPage::goToTablesPage()
{
    // Filling the lists lets events in: a second click meanwhile would fill them twice.
    if (fillingLists_)
        return;
    const RunningMark mark(fillingLists_);
    RunUntilClosed([this] { runGoToTablesPageSteps(); });
}

void LoginPage::runGoToTablesPageSteps()
{
    platform::StepTrap trap(services_.dialogs, kGoToTablesPagePath, &services_.events);
    trap.step(100, [&] { pointer_.setPointer(platform::kPointerHourglass); });
    if (trap.when(102, [&] { return connects(DatabaseSide::One, QStringLiteral("Next >")); })) {
        if (trap.when(104, [&] { return connects(DatabaseSide::Two, QStringLiteral("Next >")); })) {
            trap.step(106, [&] { pages_.reloadTablesPage(); });
            trap.step(108, [&] { pages_.showTablesPage(); });
            trap.step(110, [&] { hide(); });
        }
    }
    trap.step(112, [&] { pointer_.setPointer(platform::kPointerDefault); });
}

// Every failure ends in the one fixed message, never the driver's text.
void LoginPage::testConnection(DatabaseSide side)
{
    if (fillingLists_)
        return;
    oracle::Connection connection;
    try {
        pointer_.setPointer(platform::kPointerHourglass);
        connection.open(connectionString(side));
        services_.dialogs.information(services_.applicationTitle, QStringLiteral("Connection successful."));
        pointer_.setPointer(platform::kPointerDefault);
    } catch (const std::exception& failure) {
        journalFailedLogin(QStringLiteral("Test Connection"), side, platform::FailureText(failure));
        services_.dialogs.information(services_.applicationTitle,
                                      QStringLiteral("Could not connect. Please check with your administrator."));
        pointer_.setPointer(platform::kPointerDefault);
    }
}

void LoginPage::showHelp() { showSidHelpUnder(kHelpPath, true); }

void LoginPage::showSidHelp(DatabaseSide side) { showSidHelpUnder(kSidHelpPaths[oracle::SideIndex(side)], false); }

void LoginPage::showSidHelpUnder(const QString& procedurePath, bool withLobNote)
{
    platform::StepTrap trap(services_.dialogs, procedurePath);
    const QString text = SidHelpText(trap);
    trap.step(126, [&] { services_.dialogs.information(services_.applicationTitle, text); });
    if (withLobNote)
        trap.step(128, [&] { services_.dialogs.information(services_.applicationTitle, kLobNote); });
}

void LoginPage::closeEvent(QCloseEvent* event)
{
    event->accept();
    services_.endProgram();
}

} // namespace ui
