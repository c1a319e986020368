#include "ui/list_box.h"

namespace ui {

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    // Every entry is one line of the same font: laying out tens of thousands of names then costs
    // one measure, not one per name.
    setUniformItemSizes(true);
}

void ListBox::focusInEvent(QFocusEvent* event)
{
    const bool hadCurrent = currentIndex().isValid();
    QListWidget::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

} // namespace ui
