#include "tests/platform/backends/sdl/PrivateXServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

extern char** environ;

namespace PlatformTest {

namespace {

constexpr int kStartTimeoutMs = 10000;
// A program that loads under the address checker takes its time.
constexpr int kPictureTimeoutMs = 60000;

// The test's own connections, and the handler errors went to before.
std::mutex gOwnMutex;
std::set<Display*> gOwn;
XErrorHandler gPrevious = nullptr;

int OnError(Display* display, XErrorEvent* error)
{
    {
        std::lock_guard<std::mutex> lock(gOwnMutex);
        if (gOwn.count(display) > 0)
            return 0;
    }
    return gPrevious ? gPrevious(display, error) : 0;
}

pid_t Spawn(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    return posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? child : -1;
}

// Asks the server on a connection of its own until the answer is yes or the
// time is up.
bool WaitUntil(int timeoutMs, const std::function<bool(Display*)>& seen)
{
    const XConnection connection;
    Display* display = connection.get();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool yes = false;
    while (display && !(yes = seen(display)) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return yes;
}

void Stop(pid_t child)
{
    if (child <= 0)
        return;
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

} // namespace

XConnection::XConnection() : mDisplay(XOpenDisplay(nullptr))
{
    if (mDisplay) {
        std::lock_guard<std::mutex> lock(gOwnMutex);
        gOwn.insert(mDisplay);
        // Put first again each time: a handler set since (the program's own,
        // in a test that runs it here) gets what is not ours.
        const XErrorHandler previous = XSetErrorHandler(OnError);
        if (previous != OnError)
            gPrevious = previous;
    }
}

XConnection::~XConnection()
{
    if (!mDisplay)
        return;
    // Errors of requests still in flight come in while it is known as ours.
    XSync(mDisplay, False);
    {
        std::lock_guard<std::mutex> lock(gOwnMutex);
        gOwn.erase(mDisplay);
    }
    XCloseDisplay(mDisplay);
}

std::vector<Window> PrivateXServer::ShownWindows(Display* display)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> shown;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
                shown.push_back(children[i]);
        }
        XFree(children);
    }
    return shown;
}

PrivateXServer::PrivateXServer(bool windowManager, const std::string& screen)
{
    const char* display = std::getenv("DISPLAY");
    mHadDisplay = display != nullptr;
    mPreviousDisplay = display ? display : "";
    StartServer(screen);
    if (mFailure.empty() && windowManager)
        StartWindowManager();
}

PrivateXServer::~PrivateXServer()
{
    Stop(mWindowManager);
    Stop(mServer);
    if (mHadDisplay)
        setenv("DISPLAY", mPreviousDisplay.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

void PrivateXServer::EndServer()
{
    // A server's end takes its window manager along.
    Stop(mWindowManager);
    mWindowManager = -1;
    Stop(mServer);
    mServer = -1;
}

bool PrivateXServer::WaitForShownWindow()
{
    return WaitUntil(kStartTimeoutMs, [](Display* display) { return !ShownWindows(display).empty(); });
}

int PrivateXServer::DestroyShownWindows()
{
    const XConnection connection;
    Display* display = connection.get();
    if (!display)
        return 0;
    const std::vector<Window> shown = ShownWindows(display);
    for (Window window : shown)
        XDestroyWindow(display, window);
    return int(shown.size());
}

bool PrivateXServer::WaitForPicture()
{
    return WaitUntil(kPictureTimeoutMs, [](Display* display) {
        const int width = DisplayWidth(display, DefaultScreen(display));
        const int height = DisplayHeight(display, DefaultScreen(display));
        XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, unsigned(width), unsigned(height),
                                  AllPlanes, ZPixmap);
        bool drawn = false;
        for (int y = 0; image && y < height && !drawn; ++y) {
            for (int x = 0; x < width && !drawn; ++x)
                drawn = XGetPixel(image, x, y) != 0;
        }
        if (image)
            XDestroyImage(image);
        return drawn;
    });
}

void PrivateXServer::StartServer(const std::string& screen)
{
    int ends[2];
    if (pipe(ends) != 0) {
        mFailure = "no pipe";
        return;
    }
    // The server picks a free display and writes its number to the pipe.
    mServer = Spawn({"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0", screen, "-nolisten",
                     "tcp"});
    close(ends[1]);
    std::string number;
    pollfd waiting{ends[0], POLLIN, 0};
    char c = 0;
    while (mServer > 0 && poll(&waiting, 1, kStartTimeoutMs) > 0 && read(ends[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ends[0]);
    if (number.empty()) {
        mFailure = "Xvfb did not start";
        return;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
}

void PrivateXServer::StartWindowManager()
{
    mWindowManager = Spawn({"openbox"});
    if (mWindowManager <= 0) {
        mFailure = "no window manager";
        return;
    }
    // Ready once it answers a request through its event loop: owning the
    // screen's manager selection is not enough. Openbox has been seen to leave
    // what came while it started unread until something more came, a new
    // window's map among it, so that the window's owner waited for good.
    Window asking = None;
    const bool answered = WaitUntil(kStartTimeoutMs, [&](Display* display) {
        const Window root = DefaultRootWindow(display);
        const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
        if (asking == None)
            asking = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const bool told = XGetWindowProperty(display, asking, extents, 0, 4, False, AnyPropertyType, &type, &format,
                                             &count, &after, &data) == Success &&
                          type != None;
        if (data)
            XFree(data);
        if (told)
            return true;
        // Asked again each time, so that each request wakes it anew.
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = asking;
        request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
        request.xclient.format = 32;
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
        XFlush(display);
        return false;
    });
    if (!answered)
        mFailure = "the window manager did not start";
}

} // namespace PlatformTest
