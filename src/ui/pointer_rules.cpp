#include "ui/pointer_rules.h"

#include "platform/ports.h"

#include <QEvent>
#include <QWidget>

namespace ui {

PointerRules::PointerRules(platform::PagePointer& pointer, QObject* parent) : QObject(parent), pointer_(pointer) {}

void PointerRules::watchButton(QWidget* button)
{
    button->setMouseTracking(true);
    button->installEventFilter(this);
    buttons_.append(button);
}

void PointerRules::watchSurface(QWidget* surface)
{
    surface->setMouseTracking(true);
    surface->installEventFilter(this);
}

bool PointerRules::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && pointer_.pointer() != platform::kPointerHourglass)
        pointer_.setPointer(buttons_.contains(watched) ? platform::kPointerCustom : platform::kPointerDefault);
    return false;
}

} // namespace ui
