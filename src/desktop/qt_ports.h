#pragma once

// The ports as Qt Widgets carry them: the page's list boxes, its progress bar, its window-wide
// pointer, and Qt's event loop.

#include "platform/ports.h"

#include <QCursor>
#include <QElapsedTimer>
#include <optional>

class QListWidget;
class QProgressBar;
class QWidget;

namespace desktop {

// A multi-selection list box whose entries stay sorted.
class ListWidgetTableList : public platform::TableList {
public:
    explicit ListWidgetTableList(QListWidget* list) : list_(list) {}
    int count() const override;
    QString text(int index) const override;
    bool isSelected(int index) const override;
    void setSelected(int index, bool selected) override;
    void setAllSelected(bool selected) override;
    int selectedCount() const override;
    int currentIndex() const override;
    void setCurrentIndex(int index) override;
    void add(const QString& text) override;
    void removeAt(int index) override;
    void clear() override;

private:
    QListWidget* list_;
};

// The copy's progress on the page's progress bar: its value, and its text.
class ProgressBarDisplay : public platform::ProgressDisplay {
public:
    explicit ProgressBarDisplay(QProgressBar* bar) : bar_(bar) {}
    void setValue(int value) override;
    void setText(const QString& text) override;
    void showWork(const QString& text, bool busy) override;

private:
    QProgressBar* bar_;
};

// The window-wide pointer of a page: 0 arrow, 11 hourglass, 99 the hand image (or the arrow
// when no image was loaded).
class WindowPointer : public platform::PagePointer {
public:
    explicit WindowPointer(QWidget* window) : window_(window) {}
    int pointer() const override { return value_; }
    void setPointer(int value) override;
    void setCustomImage(const QCursor& cursor);

private:
    void apply();
    QWidget* window_;
    int value_ = platform::kPointerDefault;
    std::optional<QCursor> custom_;
};

// Yields to the event loop; once the program is ending it throws OperationCancelled instead of
// letting the running operation send anything more. Long operations yield once per row; the
// pending events are run at most every few milliseconds, which repaints and answers the user
// just as well without costing each row a pass through the event loop.
class QtEventPump : public platform::EventPump {
public:
    void yield() override;
    bool ending() const override { return shuttingDown_; }
    void requestShutdown() { shuttingDown_ = true; }
    bool shuttingDown() const { return shuttingDown_; }

private:
    bool shuttingDown_ = false;
    QElapsedTimer sinceEvents_;
};

} // namespace desktop
