#include "platform/process/Clock.h"

#include <chrono>
#include <thread>

namespace Platform {

namespace {
SystemClock gSystemClock;
std::atomic<Clock*> gClock{&gSystemClock};
} // namespace

uint64_t SystemClock::NowMicros()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMillis(uint32_t ms)
{
    if (ms == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

Clock* SetClock(Clock* clock)
{
    Clock* previous = gClock.exchange(clock ? clock : &gSystemClock);
    return previous == &gSystemClock ? nullptr : previous;
}

Clock& GetClock() { return *gClock.load(); }

uint32_t timeGetTime() { return uint32_t(GetClock().NowMicros() / 1000); }

uint32_t GetTickCount() { return timeGetTime(); }

bool QueryPerformanceCounter(int64_t* count)
{
    *count = int64_t(GetClock().NowMicros());
    return true;
}

bool QueryPerformanceFrequency(int64_t* frequency)
{
    *frequency = 1000000;
    return true;
}

void Sleep(uint32_t ms) { GetClock().SleepMillis(ms); }

} // namespace Platform
