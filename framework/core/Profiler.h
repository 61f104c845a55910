#pragma once

#include <cstdint>
#include <string>

namespace Lumo {

// A section profiler for the main thread. While active, marked sections append
// begin and end events; Stop turns them into per-section times for Report.
// Ticks are counts of the high-resolution counter.
class Profiler {
public:
    static bool IsActive();
    // Clears what an earlier run gathered and starts a new one.
    static void Start();
    static void Stop();
    // "Total Time: ..." and one line per section in name order.
    static std::string Report();

    // Names compare without regard to case and must outlive the run (literals).
    static void BeginSection(const char* name);
    static void EndSection(const char* name);

    // Cached after the first measurement; never below 1.
    static int64_t TicksPerSecond();

    // Back to the state before any run: inactive, nothing gathered.
    static void Reset();
};

} // namespace Lumo
