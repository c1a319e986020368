#pragma once

#include "platform/operation_error.h"

namespace ui {

// Marks a handler that lets events in as running, for its whole run however it ends, so that
// clicks arriving meanwhile can be told to wait.
class RunningMark {
public:
    explicit RunningMark(bool& running) : running_(running) { running_ = true; }
    ~RunningMark() { running_ = false; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    bool& running_;
};

// Runs a handler that lets events in. A close meanwhile raises OperationCancelled at the next
// event yield; it ends the handler here, since no exception may reach Qt's event loop.
template <typename Handler>
void RunUntilClosed(Handler&& handler)
{
    try {
        handler();
    } catch (const platform::OperationCancelled&) {
        // The window was closed: the program is ending.
    }
}

} // namespace ui
