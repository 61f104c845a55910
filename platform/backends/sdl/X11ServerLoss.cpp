#include "platform/backends/sdl/X11ServerLoss.h"

#include "platform/process/Process.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

namespace Platform {

namespace {

// Longer than a quit takes, loading thread and all.
constexpr auto kGrace = std::chrono::seconds(10);
constexpr int kLostExitCode = 1;

// The connections are few: SDL's and the desktop queries'.
std::array<std::atomic<_XDisplay*>, 4> gMarked{};
std::atomic<bool> gLost{false};

bool Marked(_XDisplay* display)
{
    for (const auto& marked : gMarked) {
        if (marked.load() == display)
            return true;
    }
    return false;
}

int OnBrokenConnection(::Display* display)
{
    // Also the connection of a message box, which SDL shows from a child
    // process of ours: nothing there is ours to save.
    if (!Marked(display))
        ::_exit(kLostExitCode);
    if (!gLost.exchange(true)) {
        StartThread([] {
            std::this_thread::sleep_for(kGrace);
            ::_exit(kLostExitCode);
        }).detach();
    }
    return 0;
}

// Returning lets the call that met the break go back to its caller.
void GoOnAfterBreak(::Display*, void*) {}

} // namespace

void MarkX11Connection(_XDisplay* display)
{
    if (!display || Marked(display))
        return;
    XSetIOErrorHandler(OnBrokenConnection);
    XSetIOErrorExitHandler(display, GoOnAfterBreak, nullptr);
    for (auto& marked : gMarked) {
        _XDisplay* empty = nullptr;
        if (marked.compare_exchange_strong(empty, display))
            return;
    }
}

void MarkX11Connection(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
        MarkX11Connection(info.info.x11.display);
}

bool X11ServerLost() { return gLost.load(); }

} // namespace Platform
