#include "app/widgets/guarded_application.h"

#include <exception>

namespace app {

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        qWarning("An event could not be handled: %s", error.what());
    } catch (...) {
        qWarning("An event could not be handled.");
    }
    return false;
}

} // namespace app
