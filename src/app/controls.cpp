#include "app/controls.h"

namespace app {

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

} // namespace app
