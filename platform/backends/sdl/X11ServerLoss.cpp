#include "platform/backends/sdl/X11ServerLoss.h"

#include "platform/process/Process.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace Platform {

namespace {

// Longer than a quit takes, loading thread and all.
constexpr auto kGrace = std::chrono::seconds(10);
constexpr int kLostExitCode = 1;
// How long a wait for an event looks at its connection before it asks again
// whether the server went.
constexpr int kEventLookMs = 10;

std::atomic<pid_t> gOwner{0};
std::atomic<bool> gLost{false};
// The first protocol error's codes; none for a broken connection.
std::atomic<int> gErrorCode{0};
std::atomic<int> gRequestCode{0};

// Copies inherit the handlers along with everything else; a process that
// watches nothing counts as one.
bool InCopy() { return ::getpid() != gOwner.load(); }

// Returning lets the call that met the break go back to its caller.
void GoOnAfterBreak(::Display*, void*) {}

void Lose()
{
    if (!gLost.exchange(true)) {
        StartThread([] {
            std::this_thread::sleep_for(kGrace);
            ::_exit(kLostExitCode);
        }).detach();
    }
}

int OnBrokenConnection(::Display*)
{
    if (InCopy())
        ::_exit(kLostExitCode);
    Lose();
    return 0;
}

// Errors SDL expects are caught by handlers it sets around the calls that
// may meet them; what reaches this one ended the program before it was set.
int OnProtocolError(::Display*, XErrorEvent* error)
{
    if (InCopy())
        ::_exit(kLostExitCode);
    int none = 0;
    if (gErrorCode.compare_exchange_strong(none, error->error_code))
        gRequestCode.store(error->request_code);
    Lose();
    return 0;
}

} // namespace

void WatchX11Connections()
{
    // A copy that starts a desktop of its own owns its connections.
    if (gOwner.exchange(::getpid()) == ::getpid())
        return;
    // A write on a connection whose server went would end the process on
    // the spot; ignored, it fails, and the connection counts as broken.
    std::signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(OnBrokenConnection);
    // SDL keeps the handler it finds and passes on what it does not expect.
    XSetErrorHandler(OnProtocolError);
}

bool X11ServerLost() { return gLost.load(); }

std::string X11LossCause()
{
    const int code = gErrorCode.load();
    if (code == 0)
        return "the X server went away";
    return "the X server refused request " + std::to_string(gRequestCode.load()) + " with error " +
           std::to_string(code) + " (a window of ours destroyed by another program?)";
}

} // namespace Platform

// Every connection of the process opens here, SDL's own among them, so that
// each is told before its first request what to do when it breaks: Xlib reads
// that before it calls the handler, too late to set it there.
extern "C" ::Display* XOpenDisplay(const char* name)
{
    using Open = ::Display* (*)(const char*);
    static const auto open = reinterpret_cast<Open>(::dlsym(RTLD_NEXT, "XOpenDisplay"));
    ::Display* display = open ? open(name) : nullptr;
    if (display && !Platform::InCopy())
        XSetIOErrorExitHandler(display, Platform::GoOnAfterBreak, nullptr);
    return display;
}

// Xlib's own wait turns round a broken connection for good, its display
// locked: the wait (for a window to map, say) ends once the server is gone,
// with an event of no kind.
extern "C" int XIfEvent(::Display* display, XEvent* event, Bool (*predicate)(::Display*, XEvent*, XPointer),
                        XPointer argument)
{
    while (!XCheckIfEvent(display, event, predicate, argument)) {
        if (Platform::X11ServerLost()) {
            *event = XEvent{};
            return 0;
        }
        pollfd readable{ConnectionNumber(display), POLLIN, 0};
        ::poll(&readable, 1, Platform::kEventLookMs);
    }
    return 0;
}
