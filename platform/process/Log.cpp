#include "platform/process/Log.h"

#include "platform/process/Debug.h"

#include <mutex>

namespace Platform {

namespace {

std::mutex gHookMutex;

void DefaultHook(const std::string& line) { OutputDebugStringA((line + "\r\n").c_str()); }

LogHook& Hook()
{
    static LogHook hook = DefaultHook;
    return hook;
}

} // namespace

LogHook SetLogHook(LogHook hook)
{
    std::lock_guard<std::mutex> lock(gHookMutex);
    LogHook previous = Hook();
    Hook() = hook ? std::move(hook) : LogHook(DefaultHook);
    return previous;
}

void LogLine(const std::string& line)
{
    LogHook hook;
    {
        std::lock_guard<std::mutex> lock(gHookMutex);
        hook = Hook();
    }
    hook(line);
}

} // namespace Platform
