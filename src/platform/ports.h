#pragma once

// The ports: what the widget-free core asks of the pages (their lists, progress bar, pointer,
// boxes and event loop), so the database work never touches a widget and tests put plain doubles
// in their place.

#include <QString>

namespace platform {

// Mouse pointer values shared by both pages.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
inline constexpr int kPointerCustom = 99;

// A list of table names with its selection, as the table operations see it.
// Entries are kept in sorted order: add() puts a name at its sorted place.
class TableList {
public:
    virtual ~TableList() = default;
    virtual int count() const = 0;
    virtual QString text(int index) const = 0;
    virtual bool isSelected(int index) const = 0;
    virtual void setSelected(int index, bool selected) = 0;
    // Every entry at once, as setSelected on each would leave them.
    virtual void setAllSelected(bool selected) = 0;
    virtual int selectedCount() const = 0;
    // -1 when the list has no current entry.
    virtual int currentIndex() const = 0;
    virtual void setCurrentIndex(int index) = 0;
    virtual void add(const QString& text) = 0;
    virtual void removeAt(int index) = 0;
    virtual void clear() = 0;
};

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void setValue(int value) = 0;
    // The designed text; it also ends any work shown.
    virtual void setText(const QString& text) = 0;
    // What a running copy is doing, shown until the next text: busy while no share can be known
    // (the bar then moves by itself), else beside the value.
    virtual void showWork(const QString& text, bool busy) = 0;
};

// The page-wide mouse pointer (0, 11 or 99).
class PagePointer {
public:
    virtual ~PagePointer() = default;
    virtual int pointer() const = 0;
    virtual void setPointer(int value) = 0;
};

// Lets pending window events run during long work; throws OperationCancelled once the
// user has closed the window.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void yield() = 0;
    // True once the user has closed the window: the running operation must send nothing more.
    virtual bool ending() const { return false; }
};

// Every modal box the program shows goes through this, so tests can script the answers
// and operations never pop up windows themselves.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Plain box: OK only, no icon.
    virtual void information(const QString& title, const QString& text) = 0;
    // The "Application Error" box: warning icon, OK only.
    virtual void errorReport(const QString& text) = 0;
    // Yes and No, Yes the default, no icon. True for Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    // Input box proposing an answer. Cancel gives the empty text.
    virtual QString input(const QString& title, const QString& prompt, const QString& proposed) = 0;
};

} // namespace platform
