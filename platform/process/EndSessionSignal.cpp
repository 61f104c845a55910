#include "platform/process/EndSessionSignal.h"

#include <atomic>
#include <csignal>

namespace Platform {

namespace {

std::atomic<bool> gPending{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

void OnSignal(int) { gPending.store(true); }

} // namespace

void WatchEndSessionSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool TakeEndSessionSignal() { return gPending.exchange(false); }

} // namespace Platform
