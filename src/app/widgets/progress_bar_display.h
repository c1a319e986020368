#pragma once

#include "app/controls.h"

class QProgressBar;

namespace app {

// The copy's progress on the page's progress bar: its value, and its text.
class ProgressBarDisplay : public ProgressDisplay {
public:
    explicit ProgressBarDisplay(QProgressBar* bar) : bar_(bar) {}
    void setValue(int value) override;
    void setText(const QString& text) override;
    void showWork(const QString& text, bool busy) override;

private:
    QProgressBar* bar_;
};

} // namespace app
