#include "platform/windows/MessageQueue.h"

#include "platform/process/Clock.h"
#include "platform/windows/WindowConstants.h"

#include <algorithm>

namespace Platform {

namespace {

// Windows never runs a timer faster than this.
constexpr uint64_t kShortestTimerMs = 10;

uint64_t NowMs() { return GetClock().NowMicros() / 1000; }

bool Matches(HWND filter, uint32_t first, uint32_t last, HWND window, uint32_t message)
{
    if (filter && filter != window)
        return false;
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

} // namespace

void MessageQueue::Post(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    std::lock_guard<std::mutex> lock(mMutex);
    mPosted.push_back(msg);
}

bool MessageQueue::Take(MSG* msg, HWND window, uint32_t first, uint32_t last, bool remove)
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto posted = std::find_if(mPosted.begin(), mPosted.end(),
                               [&](const MSG& m) { return Matches(window, first, last, m.hwnd, m.message); });
    if (posted != mPosted.end()) {
        *msg = *posted;
        if (remove)
            mPosted.erase(posted);
        return true;
    }
    *msg = MSG();
    msg->time = GetTickCount();
    for (HWND invalid : mInvalid) {
        if (Matches(window, first, last, invalid, WM_PAINT)) {
            msg->hwnd = invalid;
            msg->message = WM_PAINT;
            return true;
        }
    }
    uint64_t now = NowMs();
    for (Timer& timer : mTimers) {
        if (timer.dueMs <= now && Matches(window, first, last, timer.window, WM_TIMER)) {
            msg->hwnd = timer.window;
            msg->message = WM_TIMER;
            msg->wParam = timer.id;
            // Ticks missed while nobody pumped are not made up, as on Windows.
            if (remove)
                timer.dueMs = now + timer.periodMs;
            return true;
        }
    }
    return false;
}

void MessageQueue::Invalidate(HWND window)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mInvalid.insert(window);
}

void MessageQueue::Validate(HWND window)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mInvalid.erase(window);
}

void MessageQueue::SetTimer(HWND window, uintptr_t id, uint32_t periodMs)
{
    uint64_t period = std::max<uint64_t>(periodMs, kShortestTimerMs);
    std::lock_guard<std::mutex> lock(mMutex);
    std::erase_if(mTimers, [&](const Timer& t) { return t.window == window && t.id == id; });
    mTimers.push_back(Timer{window, id, period, NowMs() + period});
}

bool MessageQueue::KillTimer(HWND window, uintptr_t id)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return std::erase_if(mTimers, [&](const Timer& t) { return t.window == window && t.id == id; }) > 0;
}

void MessageQueue::Forget(HWND window)
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::erase_if(mPosted, [&](const MSG& m) { return m.hwnd == window; });
    std::erase_if(mTimers, [&](const Timer& t) { return t.window == window; });
    mInvalid.erase(window);
}

} // namespace Platform
