#include "desktop/qt_ports.h"

#include "platform/list_routines.h"
#include "platform/operation_error.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QWidget>

namespace desktop {

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
    list_->insertItem(platform::SortedInsertPosition(*this, text), text);
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

void ProgressBarDisplay::setValue(int value) { bar_->setValue(value); }

void ProgressBarDisplay::setText(const QString& text) { showWork(text, false); }

void ProgressBarDisplay::showWork(const QString& text, bool busy)
{
    // A range of nothing is Qt's busy state. Entering it resets the value to below the range, and
    // Qt shows no text for such a value: out of it again, the bar starts from 0, so the text shows
    // before the first row is written, and at all for a table of none.
    bar_->setRange(0, busy ? 0 : 100);
    if (!busy && bar_->value() < bar_->minimum())
        bar_->setValue(bar_->minimum());
    bar_->setFormat(text);
}

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
    if (value_ == platform::kPointerHourglass)
        cursor = QCursor(Qt::WaitCursor);
    else if (value_ == platform::kPointerCustom && custom_)
        cursor = *custom_;
    // The page's pointer shows over every control of the page.
    window_->setCursor(cursor);
    for (QWidget* child : window_->findChildren<QWidget*>())
        child->setCursor(cursor);
}

void QtEventPump::yield()
{
    constexpr qint64 kEventIntervalNs = 5'000'000;
    if (!shuttingDown_ && (!sinceEvents_.isValid() || sinceEvents_.nsecsElapsed() >= kEventIntervalNs)) {
        QCoreApplication::processEvents();
        sinceEvents_.start();
    }
    if (shuttingDown_)
        throw platform::OperationCancelled();
}

} // namespace desktop
