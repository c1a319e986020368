#pragma once

namespace ui {

// The tables page as the login page reaches it, through whoever owns both pages: made, and
// loaded, the first time either is asked.
class TablesPageAccess {
public:
    virtual ~TablesPageAccess() = default;
    // Reads both lists anew from the login fields as they are now.
    virtual void reloadTablesPage() = 0;
    virtual void showTablesPage() = 0;
};

} // namespace ui
