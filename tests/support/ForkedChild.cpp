#include "tests/support/ForkedChild.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace LumoTest {

ChildEnd RunInChild(const std::string& folder, const std::function<void()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit noCore = {0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setenv("LUMO_PLATFORM", "headless", 1);
        if (::chdir(folder.c_str()) != 0)
            ::_exit(90);
        // A throw must not take the forked copy back into the test program,
        // which would run the rest of it there.
        try {
            body();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "The child threw: %s\n", error.what());
        } catch (...) {
            std::fprintf(stderr, "The child threw\n");
        }
        ::_exit(91);
    }
    ChildEnd end;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            end.timedOut = true;
            return end;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    end.signalled = WIFSIGNALED(status);
    end.signal = end.signalled ? WTERMSIG(status) : 0;
    end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return end;
}

} // namespace LumoTest
