#pragma once

#include <atomic>
#include <cstdint>

namespace Platform {

// The one source of time for the whole program. Tests install a FakeClock so
// that nothing waits on the real clock.
class Clock {
public:
    virtual ~Clock() = default;
    // Microseconds since an arbitrary fixed origin; never goes backwards.
    virtual uint64_t NowMicros() = 0;
    virtual void SleepMillis(uint32_t ms) = 0;
};

class SystemClock final : public Clock {
public:
    uint64_t NowMicros() override;
    void SleepMillis(uint32_t ms) override;
};

// Advances only when told, or by the length of each Sleep.
class FakeClock final : public Clock {
public:
    explicit FakeClock(uint64_t startMicros = 0) : mNow(startMicros) {}
    uint64_t NowMicros() override { return mNow.load(); }
    void SleepMillis(uint32_t ms) override { AdvanceMillis(ms); }
    void AdvanceMillis(uint32_t ms) { mNow += uint64_t(ms) * 1000; }
    void AdvanceMicros(uint64_t us) { mNow += us; }

private:
    std::atomic<uint64_t> mNow;
};

// Installs a clock (null restores the system clock); returns the previous one.
Clock* SetClock(Clock* clock);
Clock& GetClock();

// The Win32 time calls, all served by the installed clock.
uint32_t timeGetTime();
uint32_t GetTickCount();
bool QueryPerformanceCounter(int64_t* count);
bool QueryPerformanceFrequency(int64_t* frequency);
void Sleep(uint32_t ms);

// Installs a clock for the lifetime of a scope (tests).
class ScopedClock {
public:
    explicit ScopedClock(Clock* clock) : mPrevious(SetClock(clock)) {}
    ~ScopedClock() { SetClock(mPrevious); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* mPrevious;
};

} // namespace Platform
