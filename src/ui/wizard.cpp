#include "ui/wizard.h"

#include "ui/login_page.h"
#include "ui/tables_page.h"

namespace ui {

Wizard::Wizard(PageServices& services) : services_(services)
{
    TablesPageAccess& tablesPageAccess = *this;
    loginPage_ = std::make_unique<LoginPage>(services, tablesPageAccess);
}

Wizard::~Wizard() = default;

void Wizard::start()
{
    loginPage_->load();
    if (!loginPage_->hiddenByLoad())
        loginPage_->show();
}

// Made on first use and loaded at once, as the classic program loaded a form on its first
// mention: "Next >" reloads it right after, so its first time reads the lists twice.
TablesPage& Wizard::tablesPage()
{
    if (!tablesPage_) {
        tablesPage_ = std::make_unique<TablesPage>(services_, *loginPage_, [this] { loginPage_->show(); });
        tablesPage_->load();
    }
    return *tablesPage_;
}

void Wizard::reloadTablesPage() { tablesPage().load(); }

void Wizard::showTablesPage() { tablesPage().show(); }

} // namespace ui
