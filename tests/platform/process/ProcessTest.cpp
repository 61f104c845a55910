#include "platform/storage/Folders.h"
#include "platform/process/InstanceMutex.h"
#include "platform/process/Log.h"
#include "platform/process/Process.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using namespace Platform;

namespace {

struct ProcessExited {
    uint32_t code;
};

// Sets an environment variable for a scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : mName(name)
    {
        const char* old = std::getenv(name);
        mHad = old != nullptr;
        if (old)
            mOld = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable()
    {
        if (mHad)
            ::setenv(mName, mOld.c_str(), 1);
        else
            ::unsetenv(mName);
    }

private:
    const char* mName;
    bool mHad;
    std::string mOld;
};

TEST(Process, ExitGoesThroughTheHookAndIsLogged)
{
    std::vector<std::string> logged;
    LogHook previousLog = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    ExitHook previous = SetExitHook([](uint32_t code) { throw ProcessExited{code}; });
    try {
        ExitProcess(1);
        FAIL() << "ExitProcess returned";
    } catch (const ProcessExited& exited) {
        EXPECT_EQ(exited.code, 1u);
    }
    SetExitHook(previous);
    SetLogHook(previousLog);
    EXPECT_EQ(logged, std::vector<std::string>{"Exit with code 1"});
}

TEST(Process, ProgramPathAndCommandLine)
{
    std::string path = GetModuleFileNameA();
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(std::filesystem::path(path).filename(), "test_platform");
    std::string line = GetCommandLineA();
    EXPECT_NE(line.find("test_platform"), std::string::npos) << line;
}

TEST(Process, PrioritiesBelongToEachThread)
{
    EXPECT_EQ(GetThreadPriority(), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(THREAD_PRIORITY_ABOVE_NORMAL));
    int seenByOther = -1;
    std::thread([&] { seenByOther = GetThreadPriority(); }).join();
    EXPECT_EQ(seenByOther, THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(GetThreadPriority(), THREAD_PRIORITY_ABOVE_NORMAL);
    SetThreadPriority(THREAD_PRIORITY_NORMAL);
}

TEST(Process, DataFolderIsTheXdgDataHome)
{
    std::string path;
    {
        ScopedVariable data("XDG_DATA_HOME", "/srv/data/");
        ASSERT_EQ(SHGetFolderPathA(CSIDL_COMMON_APPDATA, &path), S_OK);
        EXPECT_EQ(path, "/srv/data");
    }
    {
        // A relative value is not a folder XDG allows.
        ScopedVariable data("XDG_DATA_HOME", "relative");
        ScopedVariable home("HOME", "/home/ann");
        ASSERT_EQ(SHGetFolderPathA(CSIDL_COMMON_APPDATA, &path), S_OK);
        EXPECT_EQ(path, "/home/ann/.local/share");
        EXPECT_EQ(ConfigHomeFolder(), "/home/ann/.config");
    }
    {
        // No length of the Windows kind cuts it.
        const std::string longFolder = "/" + std::string(300, 'x');
        ScopedVariable data("XDG_DATA_HOME", longFolder.c_str());
        ASSERT_EQ(SHGetFolderPathA(CSIDL_COMMON_APPDATA, &path), S_OK);
        EXPECT_EQ(path, longFolder);
    }
    EXPECT_EQ(SHGetFolderPathA(0x1A, &path), E_INVALIDARG);
}

TEST(InstanceMutex, ASecondHolderIsRefusedUntilTheFirstLetsGo)
{
    LumoTest::TempFolder folder;
    ScopedVariable runtime("XDG_RUNTIME_DIR", folder.Path().c_str());
    bool exists = true;
    HANDLE first = CreateMutexA("Zentrova/Mutex", &exists);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(exists);
    EXPECT_TRUE(std::filesystem::exists(folder / "Zentrova_Mutex.lock"));

    HANDLE second = CreateMutexA("Zentrova/Mutex", &exists);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(exists);
    EXPECT_TRUE(CloseHandle(second));

    bool otherExists = true;
    HANDLE other = CreateMutexA("OtherMutex", &otherExists);
    EXPECT_FALSE(otherExists);
    CloseHandle(other);

    EXPECT_TRUE(CloseHandle(first));
    EXPECT_FALSE(CloseHandle(first));
    HANDLE third = CreateMutexA("Zentrova/Mutex", &exists);
    EXPECT_FALSE(exists);
    CloseHandle(third);
}

// A copy of the process (a message box's, which SDL forks) is not the
// instance: the lock ends with the program while the copy still runs.
TEST(InstanceMutex, ACopyOfTheProcessDoesNotHoldTheLock)
{
    LumoTest::TempFolder folder;
    ScopedVariable runtime("XDG_RUNTIME_DIR", folder.Path().c_str());
    bool exists = true;
    HANDLE first = CreateMutexA("Zentrova/Mutex", &exists);
    ASSERT_FALSE(exists);
    int running[2];
    int started[2];
    ASSERT_EQ(::pipe(running), 0);
    ASSERT_EQ(::pipe(started), 0);
    const pid_t copy = ::fork();
    if (copy == 0) {
        // The copy is under way once fork() returns in it: the lock is let go by then.
        char end = 0;
        ::close(running[1]);
        ::close(started[0]);
        ::close(started[1]);
        ::_exit(::read(running[0], &end, 1) == 0 ? 0 : 1);
    }
    ::close(running[0]);
    ::close(started[1]);
    ASSERT_GT(copy, 0);
    char none = 0;
    EXPECT_EQ(::read(started[0], &none, 1), 0);
    ::close(started[0]);
    EXPECT_TRUE(CloseHandle(first));
    HANDLE next = CreateMutexA("Zentrova/Mutex", &exists);
    EXPECT_FALSE(exists);
    CloseHandle(next);
    ::close(running[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(copy, &status, 0), copy);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A link planted by the lock's name makes no file where it leads; the
// program runs on without the lock.
TEST(InstanceMutex, NoLockIsMadeThroughALink)
{
    LumoTest::TempFolder folder;
    ScopedVariable runtime("XDG_RUNTIME_DIR", folder.Path().c_str());
    std::filesystem::create_directories(folder / "elsewhere");
    std::filesystem::create_symlink(folder / "elsewhere/made", folder / "Zentrova_Mutex.lock");
    bool exists = true;
    CloseHandle(CreateMutexA("Zentrova/Mutex", &exists));
    EXPECT_FALSE(exists);
    EXPECT_FALSE(std::filesystem::exists(folder / "elsewhere/made"));
}

} // namespace
