#include "app/widgets/list_widget_table_list.h"

#include <QListWidget>

namespace app {

int ListWidgetTableList::count() const { return list_->count(); }

QString ListWidgetTableList::text(int index) const
{
    const QListWidgetItem* item = list_->item(index);
    return item ? item->text() : QString();
}

bool ListWidgetTableList::isSelected(int index) const
{
    const QListWidgetItem* item = list_->item(index);
    return item && item->isSelected();
}

void ListWidgetTableList::setSelected(int index, bool selected)
{
    if (QListWidgetItem* item = list_->item(index))
        item->setSelected(selected);
}

// One change of the selection, not one per entry: with tens of thousands of entries the view
// would redraw and the selection merge its ranges for each.
void ListWidgetTableList::setAllSelected(bool selected)
{
    if (selected)
        list_->selectAll();
    else
        list_->clearSelection();
}

int ListWidgetTableList::selectedCount() const { return int(list_->selectedItems().size()); }

int ListWidgetTableList::currentIndex() const { return list_->currentRow(); }

void ListWidgetTableList::setCurrentIndex(int index)
{
    // Moving the current entry must not change which entries are selected.
    list_->selectionModel()->setCurrentIndex(list_->model()->index(index, 0), QItemSelectionModel::NoUpdate);
}

void ListWidgetTableList::add(const QString& text)
{
    list_->insertItem(SortedInsertPosition(*this, text), text);
}

void ListWidgetTableList::removeAt(int index)
{
    // Removing the current entry leaves none current, as in the classic list box; Qt would make
    // a neighbour current, which the commands would then take as the user's choice.
    const bool wasCurrent = list_->currentRow() == index;
    delete list_->takeItem(index);
    if (wasCurrent)
        list_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void ListWidgetTableList::clear() { list_->clear(); }

} // namespace app
