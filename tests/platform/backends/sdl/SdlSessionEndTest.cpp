#include "platform/backends/sdl/SdlBackend.h"
#include "platform/backends/sdl/X11ServerLoss.h"
#include "platform/process/EndSessionSignal.h"
#include "platform/windows/Dialogs.h"
#include "tests/platform/backends/sdl/HeldForks.h"
#include "tests/platform/backends/sdl/PrivateXServer.h"
#include "tests/support/ForkedChild.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <optional>
#include <thread>

using namespace Platform;

namespace {

// Exit codes of the child that runs each case.
constexpr int kPassed = 0;
constexpr int kNoDesktop = 10;
constexpr int kWrongAnswer = 11;
constexpr int kNoSessionEnd = 12;
constexpr int kNoClose = 13;
constexpr int kSessionEnded = 14;
constexpr int kStillWaits = 15;

// Each case ends the session of its child process for good (the server goes,
// or a signal comes), so each runs in a child of its own, on an X server of
// its own that nothing else uses.
class SdlSessionEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        mServer.emplace(false);
        if (!mServer->Failure().empty())
            GTEST_SKIP() << mServer->Failure();
    }

    void ExpectChildPasses(const std::function<int()>& body)
    {
        const LumoTest::ChildEnd end = LumoTest::RunInChild(mFolder.Path(), [&] { ::_exit(body()); });
        ASSERT_FALSE(end.timedOut) << "the child waited for good";
        if (end.exitCode == kNoDesktop)
            GTEST_SKIP() << "the display does not open";
        EXPECT_EQ(end.exitCode, kPassed);
    }

    LumoTest::TempFolder mFolder;
    std::optional<PlatformTest::PrivateXServer> mServer;
};

// The backend probes the desktop's GL in a child process, which a server
// that goes under it would crash: the cases end the server only after that.
std::unique_ptr<Backend> OpenDesktop()
{
    std::unique_ptr<Backend> desktop = SdlBackend::Create();
    const std::string children = "/proc/self/task/" + std::to_string(::gettid()) + "/children";
    for (int tries = 0; tries < 1000 && !LumoTest::ReadFile(children).empty(); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return desktop;
}

int ShowBox(Backend& desktop)
{
    return desktop.MessageBox(nullptr, "Your progress could not be saved.", "Zentrova", MB_OK | MB_ICONWARNING,
                              {{IDOK, "OK"}}, 0, 0);
}

struct Signal {
    const char* name;
    int number;
};

void PrintTo(const Signal& signal, std::ostream* out) { *out << signal.name; }

class BoxSignal : public SdlSessionEnd, public ::testing::WithParamInterface<Signal> {};

// The box waits on the user in a process of its own; each signal that ends
// the session still ends the wait, and no box waits on the user after it.
TEST_P(BoxSignal, TakesTheBoxAwayAndNoneComesAfter)
{
    const int number = GetParam().number;
    ExpectChildPasses([number] {
        WatchEndSessionSignals();
        std::unique_ptr<Backend> desktop = OpenDesktop();
        if (!desktop)
            return kNoDesktop;
        std::thread signaller([number] {
            PlatformTest::PrivateXServer::WaitForShownWindow();
            ::kill(::getpid(), number);
        });
        const int answer = ShowBox(*desktop);
        signaller.join();
        if (answer != 0 || ShowBox(*desktop) != 0)
            return kWrongAnswer;
        return TakeEndSessionSignal() ? kPassed : kNoSessionEnd;
    });
}

INSTANTIATE_TEST_SUITE_P(Signals, BoxSignal,
                         ::testing::Values(Signal{"SIGTERM", SIGTERM}, Signal{"SIGHUP", SIGHUP},
                                           Signal{"SIGINT", SIGINT}),
                         [](const auto& info) { return std::string(info.param.name); });

// A signal that comes while the box is on its way, before its process is
// forked, still takes the box away once it is up.
TEST_F(SdlSessionEnd, ASignalBeforeTheBoxsProcessStillTakesItAway)
{
    ExpectChildPasses([] {
        WatchEndSessionSignals();
        std::unique_ptr<Backend> desktop = OpenDesktop();
        if (!desktop)
            return kNoDesktop;
        PlatformTest::HoldForks(true);
        std::thread signaller([] {
            while (!PlatformTest::ForkWaits())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ::kill(::getpid(), SIGTERM);
            // Time for the watch to look for the box before there is one.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            PlatformTest::HoldForks(false);
        });
        const int answer = ShowBox(*desktop);
        signaller.join();
        return answer == 0 ? kPassed : kWrongAnswer;
    });
}

// A signal sent to the box's own process ends that process as usual, not the
// program's session: the call comes back, and the program goes on.
TEST_F(SdlSessionEnd, ASignalToTheBoxsProcessEndsOnlyTheBox)
{
    ExpectChildPasses([] {
        WatchEndSessionSignals();
        std::unique_ptr<Backend> desktop = OpenDesktop();
        if (!desktop)
            return kNoDesktop;
        const std::string children = "/proc/self/task/" + std::to_string(::gettid()) + "/children";
        std::thread signaller([children] {
            PlatformTest::PrivateXServer::WaitForShownWindow();
            ::kill(std::stoi(LumoTest::ReadFile(children)), SIGTERM);
        });
        const int answer = ShowBox(*desktop);
        signaller.join();
        if (answer != 0)
            return kWrongAnswer;
        return TakeEndSessionSignal() ? kSessionEnded : kPassed;
    });
}

// How the desktop goes from under a window of the program.
struct Ending {
    const char* name;
    void (*end)(PlatformTest::PrivateXServer& server);
};

void PrintTo(const Ending& ending, std::ostream* out) { *out << ending.name; }

class WindowEnding : public SdlSessionEnd, public ::testing::WithParamInterface<Ending> {};

// The program hears that its session ended, and takes its window down
// without waiting on itself.
TEST_P(WindowEnding, EndsTheSession)
{
    PlatformTest::PrivateXServer& server = *mServer;
    const Ending ending = GetParam();
    ExpectChildPasses([&] {
        std::unique_ptr<Backend> desktop = OpenDesktop();
        if (!desktop)
            return kNoDesktop;
        const HWND window = reinterpret_cast<HWND>(uintptr_t(1));
        NativeWindowState state;
        state.title = "Session end test";
        state.client = RECT{10, 10, 210, 110};
        state.visible = true;
        desktop->SyncWindow(window, state, true);
        PlatformTest::PrivateXServer::WaitForShownWindow();
        ending.end(server);
        std::vector<NativeEvent> events;
        bool ended = false;
        for (int polls = 0; polls < 100 && !ended; ++polls) {
            events.clear();
            desktop->PollEvents(events);
            for (const NativeEvent& event : events)
                ended = ended || event.kind == NativeEvent::Kind::SessionEnded;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        desktop->DestroyWindow(window);
        desktop.reset();
        return ended ? kPassed : kNoSessionEnd;
    });
}

// A dialog window, as the crash report shows, is closed.
TEST_P(WindowEnding, ClosesADialog)
{
    PlatformTest::PrivateXServer& server = *mServer;
    const Ending ending = GetParam();
    ExpectChildPasses([&] {
        std::unique_ptr<Backend> desktop = OpenDesktop();
        if (!desktop)
            return kNoDesktop;
        DialogLayout layout;
        layout.title = "Session end test";
        layout.clientWidth = 200;
        layout.clientHeight = 100;
        std::unique_ptr<DialogWindow> dialog = desktop->OpenDialog(layout);
        if (!dialog)
            return kNoDesktop;
        dialog->Show(true);
        PlatformTest::PrivateXServer::WaitForShownWindow();
        ending.end(server);
        DialogEvent event;
        for (int waits = 0; waits < 100 && event.kind != DialogEvent::Kind::Close; ++waits)
            event = dialog->Wait(10);
        dialog.reset();
        desktop.reset();
        return event.kind == DialogEvent::Kind::Close ? kPassed : kNoClose;
    });
}

// A wait for an event that the server can no longer send (SDL waits so for a
// window to map) ends when the server goes, and the writes that meet the
// broken connection leave the program running: it ends its session itself.
TEST_F(SdlSessionEnd, NoWaitForAnEventOutlastsTheServer)
{
    PlatformTest::PrivateXServer& server = *mServer;
    ExpectChildPasses([&] {
        WatchX11Connections();
        ::Display* display = XOpenDisplay(nullptr);
        if (!display)
            return kNoDesktop;
        server.EndServer();
        // What a write there would raise, wherever the connection meets it first.
        ::raise(SIGPIPE);
        std::promise<void> waited;
        std::thread waiting([&] {
            XEvent event;
            XIfEvent(display, &event, [](::Display*, XEvent*, XPointer) { return False; }, nullptr);
            waited.set_value();
        });
        if (waited.get_future().wait_for(std::chrono::seconds(10)) != std::future_status::ready)
            return kStillWaits;
        waiting.join();
        return X11ServerLost() ? kPassed : kNoSessionEnd;
    });
}

INSTANTIATE_TEST_SUITE_P(
    Endings, WindowEnding,
    ::testing::Values(Ending{"TheServerGoes", [](PlatformTest::PrivateXServer& server) { server.EndServer(); }},
                      Ending{"AnotherProgramDestroysTheWindow",
                             [](PlatformTest::PrivateXServer&) { PlatformTest::PrivateXServer::DestroyShownWindows(); }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
