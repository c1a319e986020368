#pragma once

#include <QString>

namespace app {

// Every modal box the program shows goes through this, so tests can script the answers
// and operations never pop up windows themselves.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Plain box: OK only, no icon.
    virtual void information(const QString& title, const QString& text) = 0;
    // The "Application Error" box: warning icon, OK only.
    virtual void errorReport(const QString& text) = 0;
    // Yes and No, Yes the default, no icon. True for Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    // Input box proposing an answer. Cancel gives the empty text.
    virtual QString input(const QString& title, const QString& prompt, const QString& proposed) = 0;
};

} // namespace app
