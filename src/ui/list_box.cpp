#include "ui/list_box.h"

namespace ui {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {}

void ListBox::focusInEvent(QFocusEvent* event)
{
    const bool hadCurrent = currentIndex().isValid();
    QListWidget::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

} // namespace ui
