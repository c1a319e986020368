#pragma once

#include "app/widgets/list_widget_table_list.h"
#include "app/widgets/progress_bar_display.h"
#include "app/widgets/window_pointer.h"
#include "oracle/connection_profile.h"
#include "ui/page_services.h"

#include <QWidget>
#include <functional>

class QGroupBox;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace app {
class StepTrap;
}
namespace tableops {
struct PageContext;
}

namespace ui {

class PointerRules;

// Form2: the two table lists with their commands, the progress bar, "< Back" and "Help".
// The buttons only wire the page to the table operations.
class TablesPage : public QWidget {
    Q_OBJECT
public:
    // The profiles are read from wherever the login fields are; "< Back" asks showLoginPage to
    // show the login page.
    TablesPage(PageServices& services, const oracle::ProfileSource& profiles, std::function<void()> showLoginPage);
    ~TablesPage() override;

    // Colours, icon, hand cursor, caption, both lists read anew, window height. While the lists
    // fill, table operations and Back wait; a close meanwhile raises OperationCancelled to the
    // caller, the login page's handler.
    void Form_Load();

    app::TableList& list(oracle::DatabaseSide side);
    app::PagePointer& pointer() { return pointer_; }
    bool operationRunning() const { return operationRunning_; }

    void PushButton1_Click();   // Select All, side 1
    void PushButton2_Click();   // Deselect All, side 1
    void PushButton3_Click();   // Send Table(s) To Oracle #2
    void PushButton4_Click();   // Delete Table(s), side 1
    void PushButton5_Click();   // Rename Table, side 1
    void PushButton6_Click();   // Select All, side 2
    void PushButton7_Click();   // Deselect All, side 2
    void PushButton8_Click();   // Send Table(s) To Oracle #1
    void PushButton9_Click();   // Delete Table(s), side 2
    void PushButton10_Click();  // Rename Table, side 2
    void PushButton11_Click();  // "< Back"
    void PushButton12_Click();  // "Help"

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void selectAll(oracle::DatabaseSide side, bool selected, const QString& procedurePath);
    // Runs one table operation under its handler's trap; while one runs, or the lists fill, the
    // others do nothing.
    using TableOperation = std::function<void(app::StepTrap&, const tableops::PageContext&)>;
    void runTableOperation(const QString& procedurePath, const TableOperation& operation);

    PageServices& services_;
    const oracle::ProfileSource& profiles_;
    std::function<void()> showLoginPage_;
    app::WindowPointer pointer_;
    PointerRules* pointerRules_ = nullptr;
    bool operationRunning_ = false;
    bool loading_ = false;

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    std::unique_ptr<app::ListWidgetTableList> list1_;
    std::unique_ptr<app::ListWidgetTableList> list2_;
    std::unique_ptr<app::ProgressBarDisplay> progress_;
};

} // namespace ui
