#include "ui/tables_page.h"

#include "desktop/application_identity.h"
#include "desktop/skin.h"
#include "platform/ports.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "platform/step_trap.h"
#include "tableops/operations.h"
#include "tableops/page_context.h"
#include "ui/handler_guards.h"
#include "ui/help_texts.h"
#include "ui/page_design.h"
#include "ui/pointer_rules.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

namespace ui {

using oracle::DatabaseSide;
using oracle::SideIndex;

TablesPage::TablesPage(PageServices& services, const oracle::ProfileSource& profiles,
                       std::function<void()> showLoginPage)
    : services_(services), profiles_(profiles), showLoginPage_(std::move(showLoginPage)), pointer_(this)
{
    SetUpPageWindow(this, "Form2", true, 8040, 5520);
    controls_ = BuildTablesPageControls(this);
    tableLists_ = {std::make_unique<desktop::ListWidgetTableList>(controls_.lists[0]),
                   std::make_unique<desktop::ListWidgetTableList>(controls_.lists[1])};
    progress_ = std::make_unique<desktop::ProgressBarDisplay>(controls_.progressBar);
    wireControls();
    CentreOnScreen(this);
}

TablesPage::~TablesPage() = default;

void TablesPage::wireControls()
{
    for (const DatabaseSide side : {DatabaseSide::One, DatabaseSide::Two}) {
        const size_t at = SideIndex(side);
        connect(controls_.selectAllButtons[at], &QPushButton::clicked, this, [this, side] { selectAll(side); });
        connect(controls_.deselectAllButtons[at], &QPushButton::clicked, this, [this, side] { deselectAll(side); });
        connect(controls_.sendButtons[at], &QPushButton::clicked, this, [this, side] { sendTables(side); });
        connect(controls_.deleteButtons[at], &QPushButton::clicked, this, [this, side] { deleteSelectedTables(side); });
        connect(controls_.renameButtons[at], &QPushButton::clicked, this, [this, side] { renameTable(side); });
    }
    connect(controls_.backButton, &QPushButton::clicked, this, [this] { goBack(); });
    connect(controls_.helpButton, &QPushButton::clicked, this, [this] { showHelp(); });

    pointerRules_ = new PointerRules(pointer_, this);
    for (QPushButton* button : controls_.buttons())
        pointerRules_->watchButton(button);
    pointerRules_->watchSurface(this);
    for (QGroupBox* frame : controls_.frames)
        pointerRules_->watchSurface(frame);
    for (QListWidget* list : controls_.lists)
        pointerRules_->watchSurface(list->viewport());
}

platform::TableList& TablesPage::tableList(DatabaseSide side) { return *tableLists_[SideIndex(side)]; }

namespace {

// Where each handler's error reports say it happened, by the classic program's names (side 1's
// path, then side 2's), and the steps the handler numbers. A report "in ...Form2.PushButton8_Click
// at line 154" comes from sendTables(side 2) at its step 154, in tableops/copy_run.cpp.
using SidePaths = std::array<const char*, 2>;
constexpr const char* kLoadPath = "Form2.Form_Load";                                             // load(): 100 to 116
constexpr SidePaths kSelectAllPaths = {"Form2.PushButton1_Click", "Form2.PushButton6_Click"};    // selectAll(side): 100 to 104
constexpr SidePaths kDeselectAllPaths = {"Form2.PushButton2_Click", "Form2.PushButton7_Click"};  // deselectAll(side): 100 to 104
constexpr SidePaths kSendPaths = {"Form2.PushButton3_Click", "Form2.PushButton8_Click"};         // sendTables(from): 118 to 302
constexpr SidePaths kDeletePaths = {"Form2.PushButton4_Click", "Form2.PushButton9_Click"};       // deleteSelectedTables(side): 100 to 120
constexpr SidePaths kRenamePaths = {"Form2.PushButton5_Click", "Form2.PushButton10_Click"};      // renameTable(side): 100 to 134
constexpr const char* kBackPath = "Form2.PushButton11_Click";                                    // goBack(): 100 to 102
constexpr const char* kHelpPath = "Form2.PushButton12_Click";                                    // showHelp(): 100

} // namespace

void TablesPage::load()
{
    if (loading_)
        return;
    const RunningMark mark(loading_);
    platform::StepTrap trap(services_.dialogs, kLoadPath, &services_.events);
    trap.step(100, [&] { desktop::ApplyFormColours(this); });
    trap.step(102, [&] { setWindowIcon(desktop::ApplicationIcon()); });
    const QString cursorPath = platform::HandCursorPath(services_.programFolder);
    if (trap.when(106, [&] { return platform::FileExists(cursorPath); }))
        trap.step(108, [&] { pointer_.setCustomImage(desktop::LoadCursorFileOrFail(cursorPath)); });
    trap.step(110, [&] { setWindowTitle(desktop::kProductName); });
    trap.step(112, [&] {
        tableops::FillTableList(tableList(DatabaseSide::One),
                                services_.drivers.connectionString(profiles_.CurrentProfile(DatabaseSide::One)), services_.events);
    });
    trap.step(114, [&] {
        tableops::FillTableList(tableList(DatabaseSide::Two),
                                services_.drivers.connectionString(profiles_.CurrentProfile(DatabaseSide::Two)), services_.events);
    });
    // Tall enough for the lowest row of buttons.
    trap.step(116, [&] { SetClientSizeInTwips(this, 8040, 5520); });
}

void TablesPage::selectAll(DatabaseSide side) { setAllSelected(side, true, kSelectAllPaths[SideIndex(side)]); }

void TablesPage::deselectAll(DatabaseSide side) { setAllSelected(side, false, kDeselectAllPaths[SideIndex(side)]); }

void TablesPage::setAllSelected(DatabaseSide side, bool selected, const QString& procedurePath)
{
    platform::StepTrap trap(services_.dialogs, procedurePath);
    platform::TableList& entries = tableList(side);
    trap.mark(100);
    trap.step(102, [&] { entries.setAllSelected(selected); });
    trap.mark(104);
}

void TablesPage::runTableOperation(const QString& procedurePath, const TableOperation& operation)
{
    if (operationRunning_ || loading_)
        return;
    const RunningMark mark(operationRunning_);
    platform::StepTrap trap(services_.dialogs, procedurePath, &services_.events);
    const tableops::PageContext context{services_.dialogs, pointer_, services_.events, *progress_, services_.journal, profiles_,
                                        tableList(DatabaseSide::One), tableList(DatabaseSide::Two),
                                        services_.applicationTitle, {}, services_.drivers,
                                        tableops::ChooseBatchSize(services_.batchRows,
                                                                  services_.settings.read(tableops::kBatchRowsKey))};
    RunUntilClosed([&] { operation(trap, context); });
}

void TablesPage::sendTables(DatabaseSide from)
{
    runTableOperation(kSendPaths[SideIndex(from)], [from](platform::StepTrap& trap, const tableops::PageContext& page) {
        tableops::SendTables(trap, page, from, oracle::OtherSide(from));
    });
}

void TablesPage::deleteSelectedTables(DatabaseSide side)
{
    runTableOperation(kDeletePaths[SideIndex(side)], [side](platform::StepTrap& trap, const tableops::PageContext& page) {
        tableops::DeleteTables(trap, page, side);
    });
}

void TablesPage::renameTable(DatabaseSide side)
{
    runTableOperation(kRenamePaths[SideIndex(side)], [side](platform::StepTrap& trap, const tableops::PageContext& page) {
        tableops::RenameTable(trap, page, side);
    });
}

void TablesPage::goBack()
{
    // Back, then Next, would refill the lists under a running operation's walk.
    if (operationRunning_ || loading_)
        return;
    platform::StepTrap trap(services_.dialogs, kBackPath);
    trap.step(100, [&] { showLoginPage_(); });
    trap.step(102, [&] { hide(); });
}

void TablesPage::showHelp()
{
    platform::StepTrap trap(services_.dialogs, kHelpPath);
    trap.step(100, [&] { services_.dialogs.information(services_.applicationTitle, TablesPageHelpText()); });
}

void TablesPage::closeEvent(QCloseEvent* event)
{
    event->accept();
    services_.endProgram();
}

} // namespace ui
