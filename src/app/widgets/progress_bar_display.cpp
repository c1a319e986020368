#include "app/widgets/progress_bar_display.h"

#include <QProgressBar>

namespace app {

void ProgressBarDisplay::setValue(int value) { bar_->setValue(value); }

void ProgressBarDisplay::setText(const QString& text) { showWork(text, false); }

void ProgressBarDisplay::showWork(const QString& text, bool busy)
{
    // A range of nothing is Qt's busy state.
    bar_->setRange(0, busy ? 0 : 100);
    bar_->setFormat(text);
}

} // namespace app
