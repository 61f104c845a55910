#include "platform/process/Debug.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace Platform {

namespace {

std::mutex gSinkMutex;

void DefaultSink(const char* text)
{
    static const bool enabled = std::getenv("LUMO_DEBUG_OUTPUT") != nullptr;
    if (enabled)
        std::fputs(text, stderr);
}

DebugSink& Sink()
{
    static DebugSink sink = DefaultSink;
    return sink;
}

} // namespace

void OutputDebugStringA(const char* text)
{
    std::lock_guard<std::mutex> lock(gSinkMutex);
    Sink()(text ? text : "");
}

DebugSink SetDebugSink(DebugSink sink)
{
    std::lock_guard<std::mutex> lock(gSinkMutex);
    DebugSink previous = Sink();
    Sink() = sink ? std::move(sink) : DebugSink(DefaultSink);
    return previous;
}

} // namespace Platform
