#include "framework/core/Profiler.h"

#include "framework/core/StringUtils.h"
#include "platform/process/Clock.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

namespace Lumo {

namespace {

struct ProfilerEvent {
    const char* name;
    uint64_t time;
    bool begin;
};

struct ProfilerSection {
    uint64_t startTick = 0;
    uint64_t totalTicks = 0;
    double totalMilliseconds = 0.0;
    // Ticks while running, milliseconds once stopped.
    double longest = 0.0;
    int32_t depth = 0;
    int32_t calls = 0;
};

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(uint8_t(x)) < std::tolower(uint8_t(y));
        });
    }
};

struct ProfilerState {
    bool active = false;
    uint64_t startStamp = 0;
    uint64_t overhead = 0;
    double totalTime = 0.0;
    std::vector<ProfilerEvent> events;
    std::map<std::string, ProfilerSection, NoCaseLess> sections;
    int64_t ticksPerSecond = 0;
};

ProfilerState& State()
{
    static ProfilerState state;
    return state;
}

uint64_t TimeStamp()
{
    int64_t count = 0;
    Platform::QueryPerformanceCounter(&count);
    return uint64_t(count);
}

// The ticks are the counter's own, so its frequency is their rate; 0 when the
// system has no counter.
int64_t CalibrateTicks()
{
    int64_t frequency = 0;
    if (!Platform::QueryPerformanceFrequency(&frequency))
        return 0;
    return frequency;
}

void ProcessEvent(const ProfilerEvent& event)
{
    auto& sections = State().sections;
    if (event.begin) {
        ProfilerSection& section = sections[event.name];
        ++section.calls;
        if (++section.depth == 1)
            section.startTick = event.time;
        return;
    }
    auto found = sections.find(event.name);
    if (found == sections.end())
        return;
    ProfilerSection& section = found->second;
    if (--section.depth == 0) {
        uint64_t ticks = event.time - section.startTick;
        section.totalTicks += ticks;
        section.longest = std::max(section.longest, double(ticks));
    }
}

void FlushEvents()
{
    ProfilerState& state = State();
    uint64_t begin = TimeStamp();
    for (const ProfilerEvent& event : state.events)
        ProcessEvent(event);
    state.events.clear();
    state.overhead += TimeStamp() - begin;
}

void AddEvent(const char* name, bool begin)
{
    ProfilerState& state = State();
    if (state.active && name)
        state.events.push_back(ProfilerEvent{name, TimeStamp(), begin});
}

} // namespace

bool Profiler::IsActive() { return State().active; }

void Profiler::Start()
{
    ProfilerState& state = State();
    state.sections.clear();
    state.events.clear();
    state.overhead = 0;
    state.active = true;
    state.startStamp = TimeStamp();
}

void Profiler::Stop()
{
    ProfilerState& state = State();
    uint64_t now = TimeStamp();
    FlushEvents();
    state.active = false;
    double ticksPerSecond = double(TicksPerSecond());
    state.totalTime = double(now - state.startStamp - state.overhead) * 1000.0 / ticksPerSecond;
    for (auto& [name, section] : state.sections) {
        section.totalMilliseconds = double(section.totalTicks) * 1000.0 / ticksPerSecond;
        section.longest = section.longest * 1000.0 / ticksPerSecond;
    }
}

std::string Profiler::Report()
{
    const ProfilerState& state = State();
    std::string report = FormatString("Total Time: %.2f\n", state.totalTime);
    for (const auto& [name, section] : state.sections) {
        double share = state.totalTime > 0.0 ? section.totalMilliseconds / state.totalTime * 100.0 : 0.0;
        report += FormatString("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", name.c_str(),
                               section.calls, share, section.totalMilliseconds,
                               section.totalMilliseconds / section.calls, section.longest);
    }
    return report;
}

void Profiler::BeginSection(const char* name) { AddEvent(name, true); }

void Profiler::EndSection(const char* name) { AddEvent(name, false); }

int64_t Profiler::TicksPerSecond()
{
    ProfilerState& state = State();
    if (state.ticksPerSecond == 0)
        state.ticksPerSecond = std::max<int64_t>(CalibrateTicks(), 1);
    return state.ticksPerSecond;
}

void Profiler::Reset() { State() = ProfilerState(); }

} // namespace Lumo
