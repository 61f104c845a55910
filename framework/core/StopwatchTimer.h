#pragma once

#include <cstdint>

namespace Lumo {

// Milliseconds measured on the high-resolution counter.
class StopwatchTimer {
public:
    constexpr StopwatchTimer() = default;

    void Start();
    // Measures from the start to now; leaves the running state alone.
    void Update();
    // Measures first while running.
    double Elapsed();
    void Stop();

private:
    int64_t mStartCount = 0;
    double mElapsed = 0.0;
    bool mRunning = false;
};

// Times the frame-rate overlay.
extern constinit StopwatchTimer gFrameRateStopwatch;

} // namespace Lumo
