#include "framework/core/RandomNumber.h"

#include "framework/core/MersenneTwister.h"

#include <mutex>

namespace Lumo {

namespace {
constinit std::mutex gRandomMutex;
constinit MersenneTwister gRandom;
} // namespace

int32_t RandomNumber(int32_t range)
{
    std::lock_guard<std::mutex> lock(gRandomMutex);
    return int32_t(gRandom.NextBelow(uint32_t(range)));
}

void SeedRandom(uint32_t seed)
{
    std::lock_guard<std::mutex> lock(gRandomMutex);
    gRandom.Seed(seed);
}

} // namespace Lumo
