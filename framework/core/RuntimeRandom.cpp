#include "framework/core/RuntimeRandom.h"

namespace Lumo {

namespace {
thread_local uint32_t tRandState = 1;
} // namespace

int32_t Rand()
{
    tRandState = tRandState * 214013u + 2531011u;
    return int32_t((tRandState >> 16) & 0x7FFF);
}

void SRand(uint32_t seed) { tRandState = seed; }

} // namespace Lumo
