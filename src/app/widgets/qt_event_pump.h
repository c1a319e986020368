#pragma once

#include "app/controls.h"

#include <QElapsedTimer>

namespace app {

// Yields to the event loop; once the program is ending it throws OperationCancelled instead of
// letting the running operation send anything more. Long operations yield once per row; the
// pending events are run at most every few milliseconds, which repaints and answers the user
// just as well without costing each row a pass through the event loop.
class QtEventPump : public EventPump {
public:
    void yield() override;
    bool ending() const override { return shuttingDown_; }
    void requestShutdown() { shuttingDown_ = true; }
    bool shuttingDown() const { return shuttingDown_; }

private:
    bool shuttingDown_ = false;
    QElapsedTimer sinceEvents_;
};

} // namespace app
