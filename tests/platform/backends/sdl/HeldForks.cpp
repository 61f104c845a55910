#include "tests/platform/backends/sdl/HeldForks.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace PlatformTest {

namespace {

std::atomic<bool> gHold{false};
std::atomic<bool> gWaits{false};

} // namespace

void HoldForks(bool hold)
{
    gWaits.store(false);
    gHold.store(hold);
}

bool ForkWaits() { return gWaits.load(); }

} // namespace PlatformTest

extern "C" pid_t fork() noexcept
{
    using Fork = pid_t (*)();
    static const auto real = reinterpret_cast<Fork>(::dlsym(RTLD_NEXT, "fork"));
    while (PlatformTest::gHold.load()) {
        PlatformTest::gWaits.store(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return real();
}
