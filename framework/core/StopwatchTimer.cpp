#include "framework/core/StopwatchTimer.h"

#include "platform/process/Clock.h"

namespace Lumo {

constinit StopwatchTimer gFrameRateStopwatch;

void StopwatchTimer::Start()
{
    mRunning = true;
    Platform::QueryPerformanceCounter(&mStartCount);
}

void StopwatchTimer::Update()
{
    int64_t now = 0;
    int64_t frequency = 0;
    Platform::QueryPerformanceCounter(&now);
    Platform::QueryPerformanceFrequency(&frequency);
    // Without a counter frequency no time can be measured.
    mElapsed = frequency > 0 ? double((now - mStartCount) * 1000) / double(frequency) : 0.0;
}

double StopwatchTimer::Elapsed()
{
    if (mRunning)
        Update();
    return mElapsed;
}

void StopwatchTimer::Stop()
{
    if (!mRunning)
        return;
    Update();
    mRunning = false;
}

} // namespace Lumo
