#include "tests/platform/backends/sdl/PrivateXServer.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace AppTest {
namespace {

// Longer than the program may take to end after its server went.
constexpr auto kEndBound = std::chrono::seconds(30);

// The program itself, in a window on an X server of its own, with data,
// settings and runtime folders of its own.
class DesktopSessionEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        mServer.emplace(false);
        if (!mServer->Failure().empty())
            GTEST_SKIP() << mServer->Failure();
        mFolder.Write("config/lumo/registry.txt", "[SOFTWARE\\DravikGames\\Zentrova]\n\"ScreenMode\"=dword:0\n");
        std::filesystem::create_directories(mFolder / "data");
        std::filesystem::create_directories(mFolder / "runtime");
        Start();
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

    std::string Settings() const { return LumoTest::ReadFile(mFolder / "config/lumo/registry.txt"); }

    LumoTest::TempFolder mFolder;
    std::optional<PlatformTest::PrivateXServer> mServer;
    pid_t mGame = -1;
};

// The server goes under the game at its title: the game ends as on a quit,
// its settings saved, and its instance lock free for the next start.
TEST_F(DesktopSessionEnd, TheGameEndsWhenItsXServerGoes)
{
    ASSERT_GT(mGame, 0);
    ASSERT_TRUE(PlatformTest::PrivateXServer::WaitForPicture()) << "the game drew nothing";
    ASSERT_NE(Settings().find("\"InProgress\"=dword:1"), std::string::npos);
    mServer->EndServer();
    const std::optional<int> status = AwaitEnd();
    ASSERT_TRUE(status) << "the game still runs; its output:\n" << LumoTest::ReadFile(mFolder / "output.txt");
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
        << "status " << *status << "; output:\n" << LumoTest::ReadFile(mFolder / "output.txt");
    EXPECT_NE(Settings().find("\"InProgress\"=dword:0"), std::string::npos) << Settings();
    const int lock = ::open((mFolder / "runtime/ZentrovaMutex.lock").c_str(), O_RDWR);
    ASSERT_GE(lock, 0);
    EXPECT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    ::close(lock);
}

} // namespace
} // namespace AppTest
