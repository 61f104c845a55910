#include "platform/process/Process.h"

#include "platform/process/CrashSignals.h"
#include "platform/process/Log.h"

#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>

namespace Platform {

namespace {

std::mutex gExitMutex;
thread_local int tPriority = THREAD_PRIORITY_NORMAL;

// Like Windows, the runtime's exit handlers still run and flush what they own.
[[noreturn]] void DefaultExit(uint32_t code) { std::exit(int(code)); }

ExitHook& Hook()
{
    static ExitHook hook = DefaultExit;
    return hook;
}

} // namespace

uint32_t GetCurrentProcessId() { return uint32_t(::getpid()); }

uint32_t GetCurrentThreadId() { return uint32_t(::syscall(SYS_gettid)); }

std::thread StartThread(std::function<void()> body)
{
    return std::thread([body = std::move(body)] {
        const AlternateSignalStack stack;
        body();
    });
}

void EndWithParent(uint32_t parent)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (uint32_t(::getppid()) != parent)
        ::_exit(1);
}

std::string GetModuleFileNameA()
{
    std::string path(4096, '\0');
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 ? size_t(length) : 0);
    return path;
}

std::string GetCommandLineA()
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos)
            end = raw.size();
        std::string part = raw.substr(start, end - start);
        if (!line.empty())
            line += ' ';
        bool quote = part.empty() || part.find_first_of(" \t") != std::string::npos;
        line += quote ? "\"" + part + "\"" : part;
        start = end + 1;
    }
    return line;
}

void ExitProcess(uint32_t code)
{
    LogLine("Exit with code " + std::to_string(code));
    ExitHook hook;
    {
        std::lock_guard<std::mutex> lock(gExitMutex);
        hook = Hook();
    }
    hook(code);
    DefaultExit(code);
}

ExitHook SetExitHook(ExitHook hook)
{
    std::lock_guard<std::mutex> lock(gExitMutex);
    ExitHook previous = Hook();
    Hook() = hook ? std::move(hook) : ExitHook(DefaultExit);
    return previous;
}

bool SetThreadPriority(int priority)
{
    tPriority = priority;
    return true;
}

int GetThreadPriority() { return tPriority; }

} // namespace Platform
