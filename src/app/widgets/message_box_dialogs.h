#pragma once

#include "app/dialogs.h"

class QWidget;

namespace app {

// The real boxes: QMessageBox and QInputDialog, modal over the active page.
class MessageBoxDialogs : public Dialogs {
public:
    void information(const QString& title, const QString& text) override;
    void errorReport(const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    QString input(const QString& title, const QString& prompt, const QString& proposed) override;
};

} // namespace app
