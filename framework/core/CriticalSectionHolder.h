#pragma once

#include <chrono>
#include <mutex>

namespace Lumo {

// A lock that the thread holding it may take again, as a Windows critical
// section allows. Lockable, so std::lock_guard and std::unique_lock take it.
class CriticalSectionHolder {
public:
    CriticalSectionHolder() = default;
    CriticalSectionHolder(const CriticalSectionHolder&) = delete;
    CriticalSectionHolder& operator=(const CriticalSectionHolder&) = delete;

    void lock() { mMutex.lock(); }
    bool try_lock() { return mMutex.try_lock(); }
    // For a caller that must not wait on a thread that may never let go.
    template <typename Rep, typename Period>
    bool try_lock_for(const std::chrono::duration<Rep, Period>& wait)
    {
        return mMutex.try_lock_for(wait);
    }
    void unlock() { mMutex.unlock(); }

private:
    std::recursive_timed_mutex mMutex;
};

} // namespace Lumo
