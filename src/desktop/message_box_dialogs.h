#pragma once

#include "platform/ports.h"

class QWidget;

namespace desktop {

// The real boxes: QMessageBox and QInputDialog over the active page. Each takes the user's input
// as a modal box would, yet leaves the pages closable.
class MessageBoxDialogs : public platform::Dialogs {
public:
    void information(const QString& title, const QString& text) override;
    void errorReport(const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    QString input(const QString& title, const QString& prompt, const QString& proposed) override;
};

} // namespace desktop
