#include "ui/tables_page.h"

#include "app/application_title.h"
#include "app/dialogs.h"
#include "app/file_exists.h"
#include "app/program_files.h"
#include "app/step_trap.h"
#include "app/widgets/application_icon.h"
#include "app/widgets/cursor_file.h"
#include "app/widgets/form_colours.h"
#include "tableops/copy_run.h"
#include "tableops/page_context.h"
#include "tableops/table_deletion.h"
#include "tableops/table_list_filling.h"
#include "tableops/table_rename.h"
#include "ui/handler_run.h"
#include "ui/help_texts.h"
#include "ui/list_box.h"
#include "ui/page_design.h"
#include "ui/pointer_rules.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace ui {

using oracle::DatabaseSide;

TablesPage::TablesPage(PageServices& services, const oracle::ProfileSource& profiles,
                       std::function<void()> showLoginPage)
    : services_(services), profiles_(profiles), showLoginPage_(std::move(showLoginPage)), pointer_(this)
{
    SetUpPageWindow(this, "Form2", true, 8040, 5520);
    buildControls();
    CentreOnScreen(this);
}

TablesPage::~TablesPage() = default;

void TablesPage::buildControls()
{
    Frame1 = MakeFrame(this, "Frame1", QStringLiteral("Oracle #1 Tables"));
    PlaceInTwips(Frame1, 120, 120, 3840, 4215);
    Frame2 = MakeFrame(this, "Frame2", QStringLiteral("Oracle #2 Tables"));
    PlaceInTwips(Frame2, 4080, 120, 3840, 4215);

    auto makeList = [this](QGroupBox* frame, const char* name) {
        QListWidget* list = new ListBox(frame);
        list->setObjectName(QLatin1String(name));
        list->setFont(font());
        // A click toggles an entry and leaves the others as they are.
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        list->setAttribute(Qt::WA_NoMousePropagation);
        list->viewport()->setAttribute(Qt::WA_NoMousePropagation);
        PlaceInTwips(list, 240, 360, 3330, 1635);
        return list;
    };
    List1 = makeList(Frame1, "List1");
    List2 = makeList(Frame2, "List2");
    list1_ = std::make_unique<app::ListWidgetTableList>(List1);
    list2_ = std::make_unique<app::ListWidgetTableList>(List2);

    struct ButtonDesign {
        QWidget* container;
        const char* name;
        QString caption;
        int left, top, width, height;
        void (TablesPage::*click)();
    };
    const ButtonDesign designs[] = {
        {Frame1, "PushButton1", QStringLiteral("Select All"), 240, 2100, 1600, 400, &TablesPage::PushButton1_Click},
        {Frame1, "PushButton2", QStringLiteral("Deselect All"), 1960, 2100, 1600, 400, &TablesPage::PushButton2_Click},
        {Frame1, "PushButton3", QStringLiteral("Send Table(s) To Oracle #2"), 240, 2600, 3330, 400, &TablesPage::PushButton3_Click},
        {Frame1, "PushButton4", QStringLiteral("Delete Table(s)"), 240, 3100, 3330, 400, &TablesPage::PushButton4_Click},
        {Frame1, "PushButton5", QStringLiteral("Rename Table"), 240, 3600, 3330, 400, &TablesPage::PushButton5_Click},
        {Frame2, "PushButton6", QStringLiteral("Select All"), 240, 2100, 1600, 405, &TablesPage::PushButton6_Click},
        {Frame2, "PushButton7", QStringLiteral("Deselect All"), 1960, 2100, 1600, 405, &TablesPage::PushButton7_Click},
        {Frame2, "PushButton8", QStringLiteral("Send Table(s) To Oracle #1"), 240, 2600, 3330, 400, &TablesPage::PushButton8_Click},
        {Frame2, "PushButton9", QStringLiteral("Delete Table(s)"), 240, 3100, 3330, 405, &TablesPage::PushButton9_Click},
        {Frame2, "PushButton10", QStringLiteral("Rename Table"), 240, 3600, 3330, 405, &TablesPage::PushButton10_Click},
        {this, "PushButton11", QStringLiteral("< Back"), 120, 4980, 3840, 405, &TablesPage::PushButton11_Click},
        {this, "PushButton12", QStringLiteral("Help"), 4080, 4980, 3840, 405, &TablesPage::PushButton12_Click},
    };
    pointerRules_ = new PointerRules(pointer_, this);
    std::vector<QPushButton*> buttons;
    for (const ButtonDesign& design : designs) {
        QPushButton* button = MakePushButton(design.container, design.name, design.caption);
        PlaceInTwips(button, design.left, design.top, design.width, design.height);
        connect(button, &QPushButton::clicked, this, design.click);
        pointerRules_->watchButton(button);
        buttons.push_back(button);
    }

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(QStringLiteral("Progress Bar"));
    ProgressBar1->setTextVisible(true);
    ProgressBar1->setAlignment(Qt::AlignCenter);
    // No pointer handler: over the bar the pointer keeps whatever it was.
    ProgressBar1->setAttribute(Qt::WA_NoMousePropagation);
    PlaceInTwips(ProgressBar1, 120, 4455, 7800, 405);
    progress_ = std::make_unique<app::ProgressBarDisplay>(ProgressBar1);

    pointerRules_->watchSurface(this);
    pointerRules_->watchSurface(Frame1);
    pointerRules_->watchSurface(Frame2);
    pointerRules_->watchSurface(List1->viewport());
    pointerRules_->watchSurface(List2->viewport());

    // Focus order by tab index: List2, List1, then the buttons in their numbering.
    QWidget* order[] = {List2,      List1,      buttons[0], buttons[1], buttons[2], buttons[3],
                        buttons[4], buttons[5], buttons[6], buttons[7], buttons[8], buttons[9],
                        buttons[10], buttons[11]};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    List2->setFocus();
}

app::TableList& TablesPage::list(DatabaseSide side)
{
    return side == DatabaseSide::One ? *list1_ : *list2_;
}

void TablesPage::Form_Load()
{
    if (loading_)
        return;
    const RunningMark mark(loading_);
    app::StepTrap trap(services_.dialogs, QStringLiteral("Form2.Form_Load"), &services_.events);
    trap.step(100, [&] { app::ApplyFormColours(this); });
    trap.step(102, [&] { setWindowIcon(app::ApplicationIcon()); });
    const QString cursorPath = app::HandCursorPath(services_.programFolder);
    if (trap.when(106, [&] { return app::FileExists(cursorPath); }))
        trap.step(108, [&] { pointer_.setCustomImage(app::LoadCursorFileOrFail(cursorPath)); });
    trap.step(110, [&] { setWindowTitle(app::kProductName); });
    trap.step(112, [&] {
        tableops::FillTableList(*list1_, oracle::BuildConnectionString(profiles_.CurrentProfile(DatabaseSide::One)),
                                services_.events);
    });
    trap.step(114, [&] {
        tableops::FillTableList(*list2_, oracle::BuildConnectionString(profiles_.CurrentProfile(DatabaseSide::Two)),
                                services_.events);
    });
    // Tall enough for the lowest row of buttons.
    trap.step(116, [&] { SetClientSizeInTwips(this, 8040, 5520); });
}

void TablesPage::selectAll(DatabaseSide side, bool selected, const QString& procedurePath)
{
    app::StepTrap trap(services_.dialogs, procedurePath);
    app::TableList& entries = list(side);
    trap.mark(100);
    trap.step(102, [&] { entries.setAllSelected(selected); });
    trap.mark(104);
}

void TablesPage::PushButton1_Click() { selectAll(DatabaseSide::One, true, QStringLiteral("Form2.PushButton1_Click")); }
void TablesPage::PushButton2_Click() { selectAll(DatabaseSide::One, false, QStringLiteral("Form2.PushButton2_Click")); }
void TablesPage::PushButton6_Click() { selectAll(DatabaseSide::Two, true, QStringLiteral("Form2.PushButton6_Click")); }
void TablesPage::PushButton7_Click() { selectAll(DatabaseSide::Two, false, QStringLiteral("Form2.PushButton7_Click")); }

void TablesPage::runTableOperation(const QString& procedurePath, const TableOperation& operation)
{
    if (operationRunning_ || loading_)
        return;
    const RunningMark mark(operationRunning_);
    app::StepTrap trap(services_.dialogs, procedurePath, &services_.events);
    const tableops::PageContext context{services_.dialogs, pointer_, services_.events, *progress_, profiles_,
                                        *list1_, *list2_, services_.applicationTitle};
    RunUntilClosed([&] { operation(trap, context); });
}

void TablesPage::PushButton3_Click()
{
    runTableOperation(QStringLiteral("Form2.PushButton3_Click"), [](app::StepTrap& trap, const tableops::PageContext& page) {
        tableops::SendTables(trap, page, DatabaseSide::One, DatabaseSide::Two);
    });
}

void TablesPage::PushButton8_Click()
{
    runTableOperation(QStringLiteral("Form2.PushButton8_Click"), [](app::StepTrap& trap, const tableops::PageContext& page) {
        tableops::SendTables(trap, page, DatabaseSide::Two, DatabaseSide::One);
    });
}

void TablesPage::PushButton4_Click()
{
    runTableOperation(QStringLiteral("Form2.PushButton4_Click"), [](app::StepTrap& trap, const tableops::PageContext& page) {
        tableops::DeleteTables(trap, page, DatabaseSide::One);
    });
}

void TablesPage::PushButton9_Click()
{
    runTableOperation(QStringLiteral("Form2.PushButton9_Click"), [](app::StepTrap& trap, const tableops::PageContext& page) {
        tableops::DeleteTables(trap, page, DatabaseSide::Two);
    });
}

void TablesPage::PushButton5_Click()
{
    runTableOperation(QStringLiteral("Form2.PushButton5_Click"), [](app::StepTrap& trap, const tableops::PageContext& page) {
        tableops::RenameTable(trap, page, DatabaseSide::One);
    });
}

void TablesPage::PushButton10_Click()
{
    runTableOperation(QStringLiteral("Form2.PushButton10_Click"), [](app::StepTrap& trap, const tableops::PageContext& page) {
        tableops::RenameTable(trap, page, DatabaseSide::Two);
    });
}

void TablesPage::PushButton11_Click()
{
    // Back, then Next, would refill the lists under a running operation's walk.
    if (operationRunning_ || loading_)
        return;
    app::StepTrap trap(services_.dialogs, QStringLiteral("Form2.PushButton11_Click"));
    trap.step(100, [&] { showLoginPage_(); });
    trap.step(102, [&] { hide(); });
}

void TablesPage::PushButton12_Click()
{
    app::StepTrap trap(services_.dialogs, QStringLiteral("Form2.PushButton12_Click"));
    trap.step(100, [&] { services_.dialogs.information(services_.applicationTitle, TablesPageHelpText()); });
}

void TablesPage::closeEvent(QCloseEvent* event)
{
    event->accept();
    services_.endProgram();
}

} // namespace ui
