#pragma once

#include <QObject>

namespace app {
class PagePointer;
}

namespace ui {

// The pages' pointer rules: a hand over buttons, the arrow over the background, frames, text
// boxes and lists, and neither ever replaces a running action's hourglass.
class PointerRules : public QObject {
public:
    PointerRules(app::PagePointer& pointer, QObject* parent);
    void watchButton(QWidget* button);
    void watchSurface(QWidget* surface);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    app::PagePointer& pointer_;
    QObjectList buttons_;
};

} // namespace ui
