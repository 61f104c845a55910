#include "framework/core/MersenneTwister.h"

namespace Lumo {

namespace {
constexpr uint32_t kMiddle = 397;
constexpr uint32_t kMatrix = 0x9908B0DF;
} // namespace

void MersenneTwister::Regenerate()
{
    for (uint32_t k = 0; k < kStateSize; ++k) {
        // The last word pairs with word 0, which this pass has already renewed.
        uint32_t y = (mState[k] & 0x80000000u) | (mState[(k + 1) % kStateSize] & 0x7FFFFFFFu);
        mState[k] = mState[(k + kMiddle) % kStateSize] ^ (y >> 1) ^ ((y & 1) ? kMatrix : 0);
    }
    mIndex = 0;
}

uint32_t MersenneTwister::Next()
{
    if (mIndex >= int32_t(kStateSize))
        Regenerate();
    uint32_t y = mState[mIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y & 0x7FFFFFFFu;
}

uint32_t MersenneTwister::NextBelow(uint32_t range)
{
    uint32_t value = Next();
    return range == 0 ? 0 : value % range;
}

} // namespace Lumo
