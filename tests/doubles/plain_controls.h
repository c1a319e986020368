#pragma once

#include "platform/ports.h"
#include "platform/list_routines.h"
#include "platform/journal.h"
#include "platform/operation_error.h"

#include <QList>
#include <QStringList>
#include <functional>

// A table list in memory, sorted like the page's lists.
class PlainTableList : public platform::TableList {
public:
    PlainTableList() = default;
    explicit PlainTableList(const QStringList& names)
    {
        for (const QString& name : names)
            add(name);
    }
    int count() const override { return int(entries.size()); }
    QString text(int index) const override { return entries.value(index).text; }
    bool isSelected(int index) const override { return index >= 0 && index < count() && entries[index].selected; }
    void setSelected(int index, bool selected) override
    {
        if (index >= 0 && index < count())
            entries[index].selected = selected;
    }
    void setAllSelected(bool selected) override
    {
        for (Entry& entry : entries)
            entry.selected = selected;
    }
    int selectedCount() const override
    {
        int n = 0;
        for (const Entry& entry : entries)
            n += entry.selected ? 1 : 0;
        return n;
    }
    int currentIndex() const override { return current; }
    void setCurrentIndex(int index) override { current = index; }
    // The current entry moves with its entry, as in the page's lists; removing it leaves none current.
    void add(const QString& text) override
    {
        const int position = platform::SortedInsertPosition(*this, text);
        entries.insert(position, Entry{text, false});
        if (current >= position)
            ++current;
    }
    void removeAt(int index) override
    {
        if (index < 0 || index >= count())
            return;
        entries.removeAt(index);
        if (current == index)
            current = -1;
        else if (current > index)
            --current;
    }
    void clear() override
    {
        entries.clear();
        current = -1;
    }

    QStringList names() const
    {
        QStringList result;
        for (const Entry& entry : entries)
            result << entry.text;
        return result;
    }
    void select(const QStringList& names)
    {
        for (Entry& entry : entries)
            if (names.contains(entry.text))
                entry.selected = true;
        if (current < 0 && count() > 0)
            current = 0;
    }

    struct Entry {
        QString text;
        bool selected = false;
    };
    QList<Entry> entries;
    int current = -1;
};

class RecordingProgress : public platform::ProgressDisplay {
public:
    void setValue(int value) override { values.append(value); }
    void setText(const QString& text) override { texts.append(text); }
    void showWork(const QString& text, bool busy) override
    {
        work.append(text);
        busyWork.append(busy);
    }
    QList<int> values;
    QStringList texts;
    QStringList work;
    QList<bool> busyWork;
};

// The journal's lines, kept in memory.
class RecordingJournal : public platform::Journal {
public:
    void record(const QString& event) override { lines << event; }
    QStringList lines;
};

class RecordingPointer : public platform::PagePointer {
public:
    int pointer() const override { return value; }
    void setPointer(int newValue) override
    {
        value = newValue;
        history.append(newValue);
    }
    int value = platform::kPointerDefault;
    QList<int> history;
};

// Counts yields; a test can hook one to act in the middle of a run.
class CountingPump : public platform::EventPump {
public:
    void yield() override
    {
        ++yields;
        if (onYield)
            onYield(yields);
        if (closed)
            throw platform::OperationCancelled();
    }
    bool ending() const override { return closed; }
    int yields = 0;
    bool closed = false;  // the user closed the window
    std::function<void(int)> onYield;
};
