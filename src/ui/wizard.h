#pragma once

#include "ui/page_services.h"

#include <memory>

namespace ui {

class LoginPage;
class TablesPage;
struct PageServices;

// The program's two pages and the way between them. The login page comes first; the tables page
// is made, and loaded, the first time the login page asks for it; "< Back" shows the login page
// again.
class Wizard : private TablesPageAccess {
public:
    explicit Wizard(PageServices& services);
    ~Wizard() override;

    // Start-up: the login page's load, which goes on to the tables page by itself when both saved
    // logins connect; otherwise the login page shows. A close meanwhile ends it quietly.
    void start();

    LoginPage& loginPage() { return *loginPage_; }
    // Null until the login page first asked for the tables page.
    TablesPage* loadedTablesPage() const { return tablesPage_.get(); }

private:
    void reloadTablesPage() override;
    void showTablesPage() override;
    TablesPage& tablesPage();

    PageServices& services_;
    std::unique_ptr<LoginPage> loginPage_;
    std::unique_ptr<TablesPage> tablesPage_;
};

} // namespace ui
