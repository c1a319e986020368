#pragma once

#include <QObject>

namespace platform {
class PagePointer;
}

namespace ui {

// The pages' pointer rules: a hand over buttons, the arrow over the background, frames, text
// boxes and lists, and neither ever replaces a running action's hourglass.
class PointerRules : public QObject {
public:
    PointerRules(platform::PagePointer& pointer, QObject* parent);
    void watchButton(QWidget* button);
    void watchSurface(QWidget* surface);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::PagePointer& pointer_;
    QObjectList buttons_;
};

} // namespace ui
