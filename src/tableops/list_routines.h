#pragma once

#include <QString>

namespace app {
class TableList;
}

namespace tableops {

// True when some entry equals the text, letter case ignored.
bool ListContains(const QString& text, const app::TableList& list);

// Removes the entries that equal the text exactly. The count is taken once and the walk goes on
// with the next index after a removal, as the list boxes of the classic program did.
void RemoveListItem(app::TableList& list, const QString& text);

} // namespace tableops
