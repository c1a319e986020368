#include "app/widgets/window_pointer.h"

#include <QWidget>

namespace app {

void WindowPointer::setPointer(int value)
{
    if (value == value_)
        return;
    value_ = value;
    apply();
}

void WindowPointer::setCustomImage(const QCursor& cursor)
{
    custom_ = cursor;
    apply();
}

void WindowPointer::apply()
{
    QCursor cursor(Qt::ArrowCursor);
    if (value_ == kPointerHourglass)
        cursor = QCursor(Qt::WaitCursor);
    else if (value_ == kPointerCustom && custom_)
        cursor = *custom_;
    // The page's pointer shows over every control of the page.
    window_->setCursor(cursor);
    for (QWidget* child : window_->findChildren<QWidget*>())
        child->setCursor(cursor);
}

} // namespace app
