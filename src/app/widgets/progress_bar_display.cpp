#include "app/widgets/progress_bar_display.h"

#include <QProgressBar>

namespace app {

void ProgressBarDisplay::setValue(int value) { bar_->setValue(value); }

void ProgressBarDisplay::setText(const QString& text) { bar_->setFormat(text); }

} // namespace app
