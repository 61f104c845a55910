#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace Platform {

uint32_t GetCurrentProcessId();
uint32_t GetCurrentThreadId();

// Starts a thread of the program's own. Each gets a signal stack of its own,
// so that one whose stack runs out still reaches the crash handler. (Threads
// that libraries start for themselves, such as the audio device's, have none.)
std::thread StartThread(std::function<void()> body);

// Called first in a copy of the process that fork() made and that runs no
// other program: the copy ends with the thread that forked it (killed,
// crashed or ended), and at once where that is gone already.
void EndWithParent(uint32_t parent);

// The program file's full path, as the file system spells it.
std::string GetModuleFileNameA();
// The whole command line: the program, then each argument, separated by
// blanks; parts with blanks are quoted.
std::string GetCommandLineA();

// Ends the process with the code; never returns. The exit hook runs first:
// tests replace it with one that throws, to see the code and carry on.
[[noreturn]] void ExitProcess(uint32_t code);
using ExitHook = std::function<void(uint32_t code)>;
// Installs a hook (an empty one restores the default); returns the previous one.
ExitHook SetExitHook(ExitHook hook);

// Scheduling priorities of the calling thread. The scheduler here does not
// favour threads on request, so they are only remembered.
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
bool SetThreadPriority(int priority);
int GetThreadPriority();

} // namespace Platform
