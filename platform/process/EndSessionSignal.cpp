#include "platform/process/EndSessionSignal.h"

#include "platform/process/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace Platform {

namespace {

constexpr int kRepeatMs = 50;

std::atomic<bool> gPending{false};
std::atomic<bool> gSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<pid_t>::is_always_lock_free,
              "the signal handler needs lock-free atomics");
// Readable for good once a signal came, so that every watch wakes.
int gWake[2] = {-1, -1};
// The process that asked. Its copies (a message box that SDL forks) end on
// a signal as usual rather than wake the program's watches for nothing.
std::atomic<pid_t> gWatcher{0};

void OnSignal(int number)
{
    const int saved = errno;
    if (::getpid() != gWatcher.load()) {
        ::signal(number, SIG_DFL);
        ::raise(number);
        errno = saved;
        return;
    }
    gPending.store(true);
    gSignalled.store(true);
    const char byte = 1;
    if (gWake[1] >= 0 && ::write(gWake[1], &byte, 1) < 0) {
        // A full pipe is readable already.
    }
    errno = saved;
}

} // namespace

void WatchEndSessionSignals()
{
    if (gWake[0] < 0 && ::pipe2(gWake, O_CLOEXEC | O_NONBLOCK) != 0)
        gWake[0] = gWake[1] = -1;
    gWatcher.store(::getpid());
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed terminal hangs up the game and its shell, which passes the
    // hang-up on: the second is no one's wish to end at once.
    action.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &action, nullptr);
}

bool TakeEndSessionSignal() { return gPending.exchange(false); }

bool EndSessionSignalled() { return gSignalled.load(); }

EndSessionWatch::EndSessionWatch(std::function<void()> action)
{
    // Without a way to stop it, the watch would outlive its owner.
    if (::pipe2(mOver, O_CLOEXEC) != 0)
        return;
    mThread = StartThread([this, action = std::move(action)] {
        pollfd waits[2] = {{mOver[0], POLLIN, 0}, {gWake[0], POLLIN, 0}};
        while (!EndSessionSignalled()) {
            if (::poll(waits, 2, -1) < 0 && errno != EINTR)
                return;
            if (waits[0].revents != 0)
                return;
        }
        // What the action ends may not have begun when the signal came.
        int over = 0;
        do {
            action();
            over = ::poll(waits, 1, kRepeatMs);
        } while (over == 0 || (over < 0 && errno == EINTR));
    });
}

EndSessionWatch::~EndSessionWatch()
{
    if (!mThread.joinable())
        return;
    ::close(mOver[1]);
    mThread.join();
    ::close(mOver[0]);
}

} // namespace Platform
