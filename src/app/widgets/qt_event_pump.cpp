#include "app/widgets/qt_event_pump.h"

#include "app/operation_error.h"

#include <QCoreApplication>

namespace app {

void QtEventPump::yield()
{
    constexpr qint64 kEventIntervalNs = 5'000'000;
    if (!shuttingDown_ && (!sinceEvents_.isValid() || sinceEvents_.nsecsElapsed() >= kEventIntervalNs)) {
        QCoreApplication::processEvents();
        sinceEvents_.start();
    }
    if (shuttingDown_)
        throw OperationCancelled();
}

} // namespace app
