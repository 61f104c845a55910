#include "tests/platform/backends/sdl/PrivateXServer.h"
#include "tests/support/TempFolder.h"

// Before the X headers, whose macros would rename its names.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace AppTest {
namespace {

// Longer than the program may take to end after its server went.
constexpr auto kEndBound = std::chrono::seconds(30);
// A quit is done well within this even on a busy machine; waiting out a
// ten-second bound of the program's own is not.
constexpr auto kPromptEnd = std::chrono::seconds(8);

// The process a window says it belongs to; 0 where it says nothing.
pid_t OwnerOf(Display* x, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    pid_t owner = 0;
    if (XGetWindowProperty(x, window, XInternAtom(x, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1 && format == 32)
        owner = pid_t(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return owner;
}

// What the window's close button sends.
void AskToClose(Display* x, Window window)
{
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &close);
    XFlush(x);
}

// Gone, or only left for its parent to reap.
bool ProcessEnded(pid_t pid)
{
    const std::string stat = LumoTest::ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t state = stat.rfind(')');
    return state == std::string::npos || stat.compare(state, 3, ") Z") == 0;
}

// Until the condition holds or the time is up; whether it held.
bool WaitUntil(std::chrono::seconds bound, const std::function<bool()>& holds)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!holds()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The program itself, in a window on an X server of its own, with data,
// settings and runtime folders of its own.
class DesktopSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        mServer.emplace(false);
        if (!mServer->Failure().empty())
            GTEST_SKIP() << mServer->Failure();
        mFolder.Write("config/lumo/registry.txt", "[SOFTWARE\\DravikGames\\Zentrova]\n\"ScreenMode\"=dword:0\n");
        std::filesystem::create_directories(mFolder / "data");
        std::filesystem::create_directories(mFolder / "runtime");
        // A game that dumps its core leaves none behind.
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        Start();
        ASSERT_GT(mGame, 0);
    }

    void TearDown() override
    {
        if (mGame > 0) {
            ::kill(mGame, SIGKILL);
            ::waitpid(mGame, nullptr, 0);
        }
    }

    void Start()
    {
        std::vector<std::string> environment = {
            "XDG_DATA_HOME=" + (mFolder / "data"), "XDG_CONFIG_HOME=" + (mFolder / "config"),
            "XDG_RUNTIME_DIR=" + (mFolder / "runtime"), "LUMO_PLATFORM=sdl",
            // The desktop's libraries (its message bus among them) keep some
            // of what they allocate to the end, and nothing is taken down
            // on a server that is gone.
            std::string("ASAN_OPTIONS=detect_leaks=0:") + (std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "")};
        for (char** entry = environ; *entry; ++entry) {
            const std::string line = *entry;
            const std::string name = line.substr(0, line.find('='));
            if (name != "XDG_DATA_HOME" && name != "XDG_CONFIG_HOME" && name != "XDG_RUNTIME_DIR" &&
                name != "LUMO_PLATFORM" && name != "ASAN_OPTIONS")
                environment.push_back(line);
        }
        std::vector<char*> envp;
        for (std::string& line : environment)
            envp.push_back(line.data());
        envp.push_back(nullptr);
        std::string program = ZENTROVA_PROGRAM;
        char* argv[] = {program.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The program finds its archive beside it.
        const std::string folder = std::filesystem::path(program).parent_path().string();
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        const std::string log = mFolder / "output.txt";
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        if (posix_spawn(&mGame, program.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            mGame = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    // How the program ended, or nothing when it still runs after the bound.
    std::optional<int> AwaitEnd()
    {
        const auto deadline = std::chrono::steady_clock::now() + kEndBound;
        int status = 0;
        while (::waitpid(mGame, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        mGame = -1;
        return status;
    }

    // The game ends promptly and as on a quit: code 0, its settings saved,
    // and its instance lock free for the next start.
    void ExpectCleanEnd()
    {
        const auto asked = std::chrono::steady_clock::now();
        const std::optional<int> status = AwaitEnd();
        const auto took = std::chrono::steady_clock::now() - asked;
        ASSERT_TRUE(status) << "the game still runs; its output:\n" << Output();
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "status " << *status << "; output:\n" << Output();
        EXPECT_LT(took, kPromptEnd) << "output:\n" << Output();
        EXPECT_NE(Settings().find("\"InProgress\"=dword:0"), std::string::npos) << Settings();
        const int lock = ::open((mFolder / "runtime/ZentrovaMutex.lock").c_str(), O_RDWR);
        ASSERT_GE(lock, 0);
        EXPECT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
        ::close(lock);
    }

    // The game at its title, its settings marked as in use.
    void AwaitTitle()
    {
        ASSERT_TRUE(PlatformTest::PrivateXServer::WaitForPicture()) << "the game drew nothing; output:\n" << Output();
        ASSERT_NE(Settings().find("\"InProgress\"=dword:1"), std::string::npos);
    }

    std::string Settings() const { return LumoTest::ReadFile(mFolder / "config/lumo/registry.txt"); }
    std::string Output() const { return LumoTest::ReadFile(mFolder / "output.txt"); }

    LumoTest::TempFolder mFolder;
    std::optional<PlatformTest::PrivateXServer> mServer;
    pid_t mGame = -1;
};

// Moments of the start at which the server may go.
enum class Moment { Probe, Window, Title };

struct Loss {
    const char* name;
    Moment moment;
};

void PrintTo(const Loss& loss, std::ostream* out) { *out << loss.name; }

class ServerLoss : public DesktopSession, public ::testing::WithParamInterface<Loss> {
protected:
    // True once the game's main thread has a child: the probe of the
    // desktop's GL, which starts after the game's first connection.
    bool ProbeRuns() const
    {
        const std::string pid = std::to_string(mGame);
        return !LumoTest::ReadFile("/proc/" + pid + "/task/" + pid + "/children").empty();
    }

    void AwaitMoment(Moment moment)
    {
        switch (moment) {
        case Moment::Probe: {
            const auto deadline = std::chrono::steady_clock::now() + kEndBound;
            while (!ProbeRuns() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ASSERT_TRUE(ProbeRuns()) << "no probe seen; output:\n" << Output();
            break;
        }
        case Moment::Window:
            ASSERT_TRUE(PlatformTest::PrivateXServer::WaitForShownWindow()) << "no window; output:\n" << Output();
            break;
        case Moment::Title:
            AwaitTitle();
            break;
        }
    }
};

// The server goes under the game, early in its start or at its title: the
// game ends as on a quit, whichever connection of its own meets the loss.
TEST_P(ServerLoss, TheGameEndsAsOnAQuit)
{
    AwaitMoment(GetParam().moment);
    mServer->EndServer();
    ExpectCleanEnd();
}

INSTANTIATE_TEST_SUITE_P(Moments, ServerLoss,
                         ::testing::Values(Loss{"WhileTheGlProbeRuns", Moment::Probe},
                                           Loss{"AsTheWindowShows", Moment::Window},
                                           Loss{"AtTheTitle", Moment::Title}),
                         [](const auto& info) { return std::string(info.param.name); });

// Another program destroys the game's window (a window tool, a window manager
// gone wrong): the game ends as on a quit, and the next start shows its window.
TEST_F(DesktopSession, AWindowDestroyedByAnotherProgramEndsTheGame)
{
    AwaitTitle();
    ASSERT_EQ(PlatformTest::PrivateXServer::DestroyShownWindows(), 1);
    ExpectCleanEnd();
    Start();
    ASSERT_GT(mGame, 0);
    EXPECT_TRUE(PlatformTest::PrivateXServer::WaitForPicture()) << "output:\n" << Output();
}

struct Signal {
    const char* name;
    int number;
    // A closed terminal hangs up the game, and its shell passes the hang-up on.
    int times;
};

void PrintTo(const Signal& signal, std::ostream* out) { *out << signal.name; }

class EndSignal : public DesktopSession, public ::testing::WithParamInterface<Signal> {};

// Each signal that means the session ends (a log-out's kill, the terminal
// closed, Ctrl+C in it) ends the game as on a quit.
TEST_P(EndSignal, EndsTheGameAsOnAQuit)
{
    AwaitTitle();
    for (int time = 0; time < GetParam().times; ++time) {
        // Apart, so that the two are not taken as one.
        if (time > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::kill(mGame, GetParam().number);
    }
    ExpectCleanEnd();
}

INSTANTIATE_TEST_SUITE_P(Signals, EndSignal,
                         ::testing::Values(Signal{"SIGTERM", SIGTERM, 1}, Signal{"SIGHUPTwice", SIGHUP, 2},
                                           Signal{"SIGINT", SIGINT, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

class KilledUnderABox : public DesktopSession, public ::testing::WithParamInterface<Signal> {};

// The game ended at once (killed, or its core dumped) while a message box of
// its own is up: the box's process goes with it and leaves the instance lock
// free, so the next start shows its window within seconds.
TEST_P(KilledUnderABox, TakesTheBoxAlongAndTheNextStartShows)
{
    AwaitTitle();
    const PlatformTest::XConnection connection;
    Display* x = connection.get();
    ASSERT_NE(x, nullptr);
    const std::vector<Window> title = PlatformTest::PrivateXServer::ShownWindows(x);
    ASSERT_EQ(title.size(), 1u);
    // Settings that can no longer be saved: the box comes as the closed game ends.
    const std::string settings = mFolder / "config/lumo/registry.txt";
    std::filesystem::remove(settings);
    std::filesystem::create_directory(settings);
    AskToClose(x, title[0]);
    const std::string children = "/proc/" + std::to_string(mGame) + "/task/" + std::to_string(mGame) + "/children";
    pid_t box = 0;
    ASSERT_TRUE(WaitUntil(std::chrono::seconds(30), [&] {
        const std::string listed = LumoTest::ReadFile(children);
        box = listed.empty() ? 0 : std::stoi(listed);
        // The game's own window is hidden as it ends.
        const std::vector<Window> shown = PlatformTest::PrivateXServer::ShownWindows(x);
        return box > 0 && std::any_of(shown.begin(), shown.end(), [&](Window w) { return OwnerOf(x, w) != mGame; });
    })) << "no box; output:\n" << Output();

    ::kill(mGame, GetParam().number);
    const std::optional<int> status = AwaitEnd();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == GetParam().number) << *status;
    EXPECT_TRUE(WaitUntil(std::chrono::seconds(5), [&] { return ProcessEnded(box); })) << "the box stays";

    std::filesystem::remove(settings);
    mFolder.Write("config/lumo/registry.txt", "[SOFTWARE\\DravikGames\\Zentrova]\n\"ScreenMode\"=dword:0\n");
    Start();
    ASSERT_GT(mGame, 0);
    const bool shown = WaitUntil(std::chrono::seconds(30), [&] {
        int ended = 0;
        if (::waitpid(mGame, &ended, WNOHANG) == mGame) {
            mGame = -1;
            return true;
        }
        for (Window window : PlatformTest::PrivateXServer::ShownWindows(x))
            if (OwnerOf(x, window) == mGame)
                return true;
        return false;
    });
    EXPECT_TRUE(shown && mGame > 0) << "the next start showed nothing; output:\n" << Output();
}

INSTANTIATE_TEST_SUITE_P(Signals, KilledUnderABox,
                         ::testing::Values(Signal{"SIGKILL", SIGKILL, 1}, Signal{"SIGQUIT", SIGQUIT, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace AppTest
