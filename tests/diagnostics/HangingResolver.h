#pragma once

#include "platform/network/Sockets.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace LumoTest {

// A name resolver, installed for the object's life, whose lookups hang until
// it ends; then it lets them return (no name is known) and waits for them. A
// lookup also returns after kHangSeconds, so that a test of code that waits
// for it fails instead of hanging. What the lookups share lives as long as
// the last of them.
class HangingResolver {
public:
    static constexpr int kHangSeconds = 20;

    HangingResolver();
    ~HangingResolver();
    HangingResolver(const HangingResolver&) = delete;
    HangingResolver& operator=(const HangingResolver&) = delete;

    // How many lookups have begun.
    int Begun() const;

private:
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        bool released = false;
        int begun = 0;
        int returned = 0;
    };
    std::shared_ptr<Gate> mGate = std::make_shared<Gate>();
    Platform::HostResolver mPrevious;
};

} // namespace LumoTest
