#pragma once

#include <functional>
#include <thread>

namespace Platform {

// SIGINT, SIGTERM and SIGHUP end the session the way logging off would: the
// pump turns them into WM_ENDSESSION so the program shuts down cleanly. A
// second SIGINT or SIGTERM before that ends the process the usual way; more
// hang-ups change nothing.
void WatchEndSessionSignals();

// True once for each signal caught since the last call.
bool TakeEndSessionSignal();

// True for good once a signal came: the program is on its way out.
bool EndSessionSignalled();

// While it lives, a signal (or one that came before) runs the action on a
// thread of its own, and runs it again every little while until the watch
// ends: what waits on the user, as a modal box does, cannot see the signal
// itself, and may not have begun to wait when it came.
class EndSessionWatch {
public:
    explicit EndSessionWatch(std::function<void()> action);
    ~EndSessionWatch();
    EndSessionWatch(const EndSessionWatch&) = delete;
    EndSessionWatch& operator=(const EndSessionWatch&) = delete;

private:
    int mOver[2] = {-1, -1};
    std::thread mThread;
};

} // namespace Platform
