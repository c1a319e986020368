#pragma once

// Routines over a table list, as the table operations and the lists themselves use them: where a
// name goes in sorted order, whether a name is there, and removing one.

#include "platform/ports.h"

#include <QHash>
#include <QString>

namespace platform {

// Where a name goes in a sorted list: letter case is ignored first, as list boxes sort.
bool TableNameLess(const QString& a, const QString& b);
int SortedInsertPosition(const TableList& list, const QString& text);

// True when some entry equals the text, letter case ignored (both lower-cased). The program asks
// CaseInsensitiveNames instead; this plain walk stays as the reference that index is tested against.
bool ListContains(const QString& text, const TableList& list);

// Removes the entries that equal the text exactly. The count is taken once and the walk goes on
// with the next index after a removal, as the list boxes of the classic program did. Gives the
// number of entries removed.
int RemoveListItem(TableList& list, const QString& text);

// A list's names with letter case ignored, for a run that asks ListContains of many names: the same
// answers without walking the whole list for each. The run tells it what it adds and removes.
class CaseInsensitiveNames {
public:
    explicit CaseInsensitiveNames(const TableList& list);
    bool contains(const QString& text) const { return counts_.value(text.toLower()) > 0; }
    void add(const QString& text) { ++counts_[text.toLower()]; }
    void remove(const QString& text, int times);

private:
    QHash<QString, int> counts_;
};

} // namespace platform
