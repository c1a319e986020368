#pragma once

#include "app/controls.h"

#include <QCursor>
#include <optional>

class QWidget;

namespace app {

// The window-wide pointer of a page: 0 arrow, 11 hourglass, 99 the hand image (or the arrow
// when no image was loaded).
class WindowPointer : public PagePointer {
public:
    explicit WindowPointer(QWidget* window) : window_(window) {}
    int pointer() const override { return value_; }
    void setPointer(int value) override;
    void setCustomImage(const QCursor& cursor);

private:
    void apply();
    QWidget* window_;
    int value_ = kPointerDefault;
    std::optional<QCursor> custom_;
};

} // namespace app
