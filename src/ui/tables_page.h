#pragma once

#include "desktop/qt_ports.h"
#include "oracle/connection_profile.h"
#include "ui/page_layouts.h"
#include "ui/page_services.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

namespace platform {
class StepTrap;
}
namespace tableops {
struct PageContext;
}

namespace ui {

class PointerRules;

// The tables page (the design's Form2): the two table lists with their commands, the progress
// bar, "< Back" and "Help". The buttons only wire the page to the table operations.
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
    void load();

    platform::TableList& tableList(oracle::DatabaseSide side);
    platform::PagePointer& pointer() { return pointer_; }
    bool operationRunning() const { return operationRunning_; }

    // The buttons' handlers, each side's own.
    void selectAll(oracle::DatabaseSide side);             // "Select All"
    void deselectAll(oracle::DatabaseSide side);           // "Deselect All"
    void sendTables(oracle::DatabaseSide from);            // "Send Table(s) To Oracle #2" from side 1, "#1" from side 2
    void deleteSelectedTables(oracle::DatabaseSide side);  // "Delete Table(s)"
    void renameTable(oracle::DatabaseSide side);           // "Rename Table"
    void goBack();                                         // "< Back"
    void showHelp();                                       // "Help"

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void wireControls();
    void setAllSelected(oracle::DatabaseSide side, bool selected, const QString& procedurePath);
    // Runs one table operation under its handler's trap; while one runs, or the lists fill, the
    // others do nothing.
    using TableOperation = std::function<void(platform::StepTrap&, const tableops::PageContext&)>;
    void runTableOperation(const QString& procedurePath, const TableOperation& operation);

    PageServices& services_;
    const oracle::ProfileSource& profiles_;
    std::function<void()> showLoginPage_;
    desktop::WindowPointer pointer_;
    TablesPageControls controls_;
    PointerRules* pointerRules_ = nullptr;
    std::array<std::unique_ptr<desktop::ListWidgetTableList>, 2> tableLists_;
    std::unique_ptr<desktop::ProgressBarDisplay> progress_;
    bool operationRunning_ = false;
    bool loading_ = false;
};

} // namespace ui
