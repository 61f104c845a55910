#pragma once

#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <vector>

namespace Platform {

// Posted messages in arrival order, then paint requests, then due timers,
// as a pump finds them. Posting is safe from any thread.
class MessageQueue {
public:
    void Post(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
    // The first message for the window (null: any) with an id in [first, last]
    // (both 0: any). Paint and timer messages are made when nothing is posted;
    // a paint message stays until the window is validated.
    bool Take(MSG* msg, HWND window, uint32_t first, uint32_t last, bool remove);

    void Invalidate(HWND window);
    void Validate(HWND window);

    // Replaces a timer of the same window and id.
    void SetTimer(HWND window, uintptr_t id, uint32_t periodMs);
    bool KillTimer(HWND window, uintptr_t id);

    // Drops the window's messages, timers and paint request.
    void Forget(HWND window);

private:
    struct Timer {
        HWND window;
        uintptr_t id;
        uint64_t periodMs;
        uint64_t dueMs;
    };

    std::mutex mMutex;
    std::deque<MSG> mPosted;
    std::set<HWND> mInvalid;
    std::vector<Timer> mTimers;
};

} // namespace Platform
