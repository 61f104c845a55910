#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Xlib's display, named without its header, whose macros clash with the test
// framework's.
struct _XDisplay;

namespace PlatformTest {

using XDisplay = ::_XDisplay;
// Xlib's Window.
using XWindow = unsigned long;

// A connection of the test's own to the display. An error on it (a window
// that went between a listing and a look at it) fails the call that met it
// rather than ending the test process as Xlib's default would, which would
// leave its server and the program under test running.
class XConnection {
public:
    XConnection();
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    // Null when the display cannot be reached.
    XDisplay* get() const { return mDisplay; }

private:
    XDisplay* mDisplay;
};

// An X server of the test's own (Xvfb, a screen of 1024 x 768 at 24 bits a
// pixel unless told otherwise as "WIDTHxHEIGHTxDEPTH"), optionally with a
// window manager, made the process's display while it lives; the display
// before is put back after.
class PrivateXServer {
public:
    explicit PrivateXServer(bool windowManager, const std::string& screen = "1024x768x24");
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // Empty when the server (and the window manager asked for) runs; else why not.
    const std::string& Failure() const { return mFailure; }
    // Ends the server under its clients, as a log-out or a crash of the server would.
    void EndServer();
    // The windows of clients shown on the screen (with no window manager, the
    // top-level ones are the root's children).
    static std::vector<XWindow> ShownWindows(XDisplay* display);
    // Waits, a bounded time, until a window of some client shows on the
    // server; false when none did.
    static bool WaitForShownWindow();
    // Destroys every window shown on the screen from a connection of its
    // own, as another program may; how many there were.
    static int DestroyShownWindows();
    // Waits, a bounded time, until something is drawn on the screen (a pixel
    // that is not black); false when nothing was.
    static bool WaitForPicture();

private:
    void StartServer(const std::string& screen);
    void StartWindowManager();

    std::string mFailure;
    std::string mPreviousDisplay;
    bool mHadDisplay = false;
    pid_t mServer = -1;
    pid_t mWindowManager = -1;
};

} // namespace PlatformTest
