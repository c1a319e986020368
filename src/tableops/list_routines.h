#pragma once

#include <QHash>
#include <QString>

namespace app {
class TableList;
}

namespace tableops {

// True when some entry equals the text, letter case ignored (both lower-cased).
bool ListContains(const QString& text, const app::TableList& list);

// Removes the entries that equal the text exactly. The count is taken once and the walk goes on
// with the next index after a removal, as the list boxes of the classic program did. Gives the
// number of entries removed.
int RemoveListItem(app::TableList& list, const QString& text);

// A list's names with letter case ignored, for a run that asks ListContains of many names: the same
// answers without walking the whole list for each. The run tells it what it adds and removes.
class CaseInsensitiveNames {
public:
    explicit CaseInsensitiveNames(const app::TableList& list);
    bool contains(const QString& text) const { return counts_.value(text.toLower()) > 0; }
    void add(const QString& text) { ++counts_[text.toLower()]; }
    void remove(const QString& text, int times);

private:
    QHash<QString, int> counts_;
};

} // namespace tableops
