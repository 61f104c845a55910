#pragma once

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
    void unlock() { mMutex.unlock(); }

private:
    std::recursive_mutex mMutex;
};

} // namespace Lumo
