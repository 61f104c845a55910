#pragma once

#include <string>
#include <sys/types.h>

namespace PlatformTest {

// An X server of the test's own (Xvfb, of a screen given as Xvfb takes it,
// "width x height x depth"), optionally with a window manager, made the
// process's display while it lives; the display before is put back after.
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
    // Waits, a bounded time, until a window of some client shows on the
    // server; false when none did.
    static bool WaitForShownWindow();
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
