#include "ui/login_page.h"

#include "app/application_title.h"
#include "app/dialogs.h"
#include "app/file_exists.h"
#include "app/program_files.h"
#include "app/settings_store.h"
#include "app/step_trap.h"
#include "app/widgets/application_icon.h"
#include "app/widgets/cursor_file.h"
#include "app/widgets/form_colours.h"
#include "oracle/connection.h"
#include "ui/handler_run.h"
#include "ui/help_texts.h"
#include "ui/page_design.h"
#include "ui/pointer_rules.h"
#include "ui/tables_page_access.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
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
    buildControls();
    CentreOnScreen(this);
}

LoginPage::~LoginPage() = default;

void LoginPage::buildControls()
{
    PushButton4 = MakePushButton(this, "PushButton4", QStringLiteral("Help"));
    PlaceInTwips(PushButton4, 120, 120, 7800, 405);

    Frame1 = MakeFrame(this, "Frame1", QStringLiteral("Oracle #1 Login"));
    PlaceInTwips(Frame1, 120, 630, 7800, 2385);
    Frame2 = MakeFrame(this, "Frame2", QStringLiteral("Oracle #2 Login (Note: Login can be the same as #1)"));
    PlaceInTwips(Frame2, 120, 3120, 7800, 2385);

    const char* const labelNames[2][3] = {{"Label2", "Label1", "Label4"}, {"Label5", "Label3", "Label6"}};
    const char* const textNames[6] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
    const QString captions[3] = {QStringLiteral("SID:"), QStringLiteral("Username:"), QStringLiteral("Password:")};
    QGroupBox* frames[2] = {Frame1, Frame2};
    for (int side = 0; side < 2; ++side) {
        for (int row = 0; row < 3; ++row) {
            QLabel* label = MakeLabel(frames[side], labelNames[side][row], captions[row]);
            PlaceInTwips(label, 240, 405 + 480 * row, 1095, 255);
            QLineEdit* text = MakeTextBox(frames[side], textNames[side * 3 + row]);
            PlaceInTwips(text, 1320, 360 + 480 * row, row == 0 ? 5535 : 6255, 345);
            texts_[size_t(side * 3 + row)] = text;
        }
    }
    // Passwords show one "*" per character, whatever the platform's own mask character is.
    for (QLineEdit* password : {texts_[2], texts_[5]}) {
        password->setEchoMode(QLineEdit::Password);
        password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }

    PushButton6 = MakePushButton(Frame1, "PushButton6", QStringLiteral("?"));
    PlaceInTwips(PushButton6, 6960, 360, 615, 345);
    PushButton3 = MakePushButton(Frame1, "PushButton3", QStringLiteral("Test Connection"));
    PlaceInTwips(PushButton3, 240, 1800, 7330, 405);
    PushButton7 = MakePushButton(Frame2, "PushButton7", QStringLiteral("?"));
    PlaceInTwips(PushButton7, 6960, 360, 615, 345);
    PushButton5 = MakePushButton(Frame2, "PushButton5", QStringLiteral("Test Connection"));
    PlaceInTwips(PushButton5, 240, 1800, 7330, 405);
    PushButton2 = MakePushButton(this, "PushButton2", QStringLiteral("Next >"));
    PlaceInTwips(PushButton2, 120, 5640, 7800, 405);

    QWidget* order[] = {texts_[0],   texts_[1],   texts_[2],   texts_[3],   texts_[4],  texts_[5],
                        PushButton6, PushButton3, PushButton7, PushButton5, PushButton2, PushButton4};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (size_t i = 0; i < texts_.size(); ++i) {
        const QString key = kLoginFieldKeys[i];
        // Text1_Change to Text6_Change: every change is stored at once.
        connect(texts_[i], &QLineEdit::textChanged, this, [this, key](const QString& text) {
            if (!services_.settings.write(key, text))
                tellLoginsNotRemembered();
        });
        texts_[i]->installEventFilter(this);
    }
    connect(PushButton2, &QPushButton::clicked, this, &LoginPage::PushButton2_Click);
    connect(PushButton3, &QPushButton::clicked, this, &LoginPage::PushButton3_Click);
    connect(PushButton4, &QPushButton::clicked, this, &LoginPage::PushButton4_Click);
    connect(PushButton5, &QPushButton::clicked, this, &LoginPage::PushButton5_Click);
    connect(PushButton6, &QPushButton::clicked, this, &LoginPage::PushButton6_Click);
    connect(PushButton7, &QPushButton::clicked, this, &LoginPage::PushButton7_Click);

    pointerRules_ = new PointerRules(pointer_, this);
    for (QPushButton* button : {PushButton2, PushButton3, PushButton4, PushButton5, PushButton6, PushButton7})
        pointerRules_->watchButton(button);
    pointerRules_->watchSurface(this);
    pointerRules_->watchSurface(Frame1);
    pointerRules_->watchSurface(Frame2);
    for (QLineEdit* text : texts_)
        pointerRules_->watchSurface(text);

    texts_[0]->setFocus();
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
    // Text1_GotFocus to Text6_GotFocus: the whole content is selected, also after a click.
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

void LoginPage::Form_Load()
{
    const RunningMark mark(fillingLists_);
    RunUntilClosed([this] { loadSteps(); });
}

void LoginPage::loadSteps()
{
    app::StepTrap trap(services_.dialogs, QStringLiteral("Form1.Form_Load"), &services_.events);
    trap.step(100, [&] {
        // The skin engine itself is not part of this build; its colour steps are.
        if (app::FileExists(app::SkinFilePath(services_.programFolder)))
            app::ApplyFormColours(this);
    });
    trap.step(104, [&] {
        setWindowTitle(app::kProductName);
        setWindowIcon(app::ApplicationIcon());
        services_.applicationTitle = app::SetApplicationTitle(app::kProductName);
    });
    trap.step(106, [&] { services_.homePage.run(); });
    const QString cursorPath = app::HandCursorPath(services_.programFolder);
    if (trap.when(124, [&] { return app::FileExists(cursorPath); })) {
        trap.step(126, [&] {
            pointer_.setCustomImage(app::LoadCursorFileOrFail(cursorPath));
        });
    }
    for (size_t i = 0; i < texts_.size(); ++i)
        trap.step(128 + 2 * int(i), [&] { texts_[i]->setText(services_.settings.read(kLoginFieldKeys[i])); });
    if (trap.when(140, [&] { return oracle::TestConnection(oracle::BuildConnectionString(CurrentProfile(DatabaseSide::One))); })) {
        if (trap.when(142, [&] { return oracle::TestConnection(oracle::BuildConnectionString(CurrentProfile(DatabaseSide::Two))); })) {
            trap.step(144, [&] { pages_.showTablesPage(); });
            trap.step(146, [&] {
                hide();
                hiddenByLoad_ = true;
            });
        }
    }
}

oracle::ConnectionProfile LoginPage::CurrentProfile(DatabaseSide side) const
{
    const size_t first = side == DatabaseSide::One ? 0 : 3;
    return {texts_[first]->text(), texts_[first + 1]->text(), texts_[first + 2]->text()};
}

void LoginPage::PushButton2_Click()
{
    // Filling the lists lets events in: a second click meanwhile would fill them twice.
    if (fillingLists_)
        return;
    const RunningMark mark(fillingLists_);
    RunUntilClosed([this] { nextSteps(); });
}

void LoginPage::nextSteps()
{
    app::StepTrap trap(services_.dialogs, QStringLiteral("Form1.PushButton2_Click"), &services_.events);
    trap.step(100, [&] { pointer_.setPointer(app::kPointerHourglass); });
    if (trap.when(102, [&] { return oracle::TestConnection(oracle::BuildConnectionString(CurrentProfile(DatabaseSide::One))); })) {
        if (trap.when(104, [&] { return oracle::TestConnection(oracle::BuildConnectionString(CurrentProfile(DatabaseSide::Two))); })) {
            trap.step(106, [&] { pages_.reloadTablesPage(); });
            trap.step(108, [&] { pages_.showTablesPage(); });
            trap.step(110, [&] { hide(); });
        }
    }
    trap.step(112, [&] { pointer_.setPointer(app::kPointerDefault); });
}

void LoginPage::PushButton3_Click() { testConnection(DatabaseSide::One); }

void LoginPage::PushButton5_Click() { testConnection(DatabaseSide::Two); }

// No error report here: every failure ends in the one fixed message, never the driver's text.
void LoginPage::testConnection(DatabaseSide side)
{
    if (fillingLists_)
        return;
    oracle::Connection connection;
    try {
        pointer_.setPointer(app::kPointerHourglass);
        connection.open(oracle::BuildConnectionString(CurrentProfile(side)));
        services_.dialogs.information(services_.applicationTitle, QStringLiteral("Connection successful."));
        pointer_.setPointer(app::kPointerDefault);
    } catch (const std::exception&) {
        services_.dialogs.information(services_.applicationTitle,
                                      QStringLiteral("Could not connect. Please check with your administrator."));
        pointer_.setPointer(app::kPointerDefault);
    }
}

void LoginPage::PushButton4_Click() { showSidHelp(QStringLiteral("Form1.PushButton4_Click"), true); }
void LoginPage::PushButton6_Click() { showSidHelp(QStringLiteral("Form1.PushButton6_Click"), false); }
void LoginPage::PushButton7_Click() { showSidHelp(QStringLiteral("Form1.PushButton7_Click"), false); }

void LoginPage::showSidHelp(const QString& procedurePath, bool withNote)
{
    app::StepTrap trap(services_.dialogs, procedurePath);
    const QString text = SidHelpText(trap);
    trap.step(126, [&] { services_.dialogs.information(services_.applicationTitle, text); });
    if (withNote)
        trap.step(128, [&] { services_.dialogs.information(services_.applicationTitle, kLobNote); });
}

void LoginPage::closeEvent(QCloseEvent* event)
{
    event->accept();
    services_.endProgram();
}

} // namespace ui
