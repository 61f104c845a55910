#include "tests/diagnostics/HangingResolver.h"

#include <chrono>

namespace LumoTest {

HangingResolver::HangingResolver()
{
    mPrevious = Platform::SetHostResolver([gate = mGate](const std::string&, uint32_t*) {
        std::unique_lock<std::mutex> lock(gate->mutex);
        ++gate->begun;
        gate->changed.notify_all();
        gate->changed.wait_for(lock, std::chrono::seconds(kHangSeconds), [&] { return gate->released; });
        ++gate->returned;
        gate->changed.notify_all();
        return false;
    });
}

HangingResolver::~HangingResolver()
{
    Platform::SetHostResolver(mPrevious);
    std::unique_lock<std::mutex> lock(mGate->mutex);
    mGate->released = true;
    mGate->changed.notify_all();
    mGate->changed.wait_for(lock, std::chrono::seconds(kHangSeconds),
                            [&] { return mGate->returned == mGate->begun; });
}

int HangingResolver::Begun() const
{
    std::lock_guard<std::mutex> lock(mGate->mutex);
    return mGate->begun;
}

} // namespace LumoTest
