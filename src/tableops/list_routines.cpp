#include "tableops/list_routines.h"

#include "app/controls.h"

namespace tableops {

bool ListContains(const QString& text, const app::TableList& list)
{
    bool found = false;
    const QString wanted = text.toLower();
    for (int i = 0; i < list.count(); ++i)
        if (list.text(i).toLower() == wanted)
            found = true;
    return found;
}

int RemoveListItem(app::TableList& list, const QString& text)
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

CaseInsensitiveNames::CaseInsensitiveNames(const app::TableList& list)
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

} // namespace tableops
