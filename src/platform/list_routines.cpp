#include "platform/list_routines.h"

namespace platform {

bool TableNameLess(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

int SortedInsertPosition(const TableList& list, const QString& text)
{
    int low = 0;
    int high = list.count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (TableNameLess(text, list.text(middle)))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

bool ListContains(const QString& text, const TableList& list)
{
    bool found = false;
    const QString wanted = text.toLower();
    for (int i = 0; i < list.count(); ++i)
        if (list.text(i).toLower() == wanted)
            found = true;
    return found;
}

int RemoveListItem(TableList& list, const QString& text)
{
    int removed = 0;
    const int count = list.count();
    for (int i = 0; i < count; ++i) {
        if (i < list.count() && list.text(i) == text) {
            list.removeAt(i);
            ++removed;
        }
    }
    return removed;
}

CaseInsensitiveNames::CaseInsensitiveNames(const TableList& list)
{
    counts_.reserve(list.count());
    for (int i = 0; i < list.count(); ++i)
        add(list.text(i));
}

void CaseInsensitiveNames::remove(const QString& text, int times)
{
    const auto it = counts_.find(text.toLower());
    if (it == counts_.end())
        return;
    *it -= times;
    if (*it <= 0)
        counts_.erase(it);
}

} // namespace platform
