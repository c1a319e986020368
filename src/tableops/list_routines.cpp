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

void RemoveListItem(app::TableList& list, const QString& text)
{
    const int count = list.count();
    for (int i = 0; i < count; ++i)
        if (i < list.count() && list.text(i) == text)
            list.removeAt(i);
}

} // namespace tableops
