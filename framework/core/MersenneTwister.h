#pragma once

#include <array>
#include <cstdint>

namespace Lumo {

// MT19937 with its outputs cut to 31 bits. Deterministic for a seed, which lets
// a recorded demo replay the same game.
class MersenneTwister {
public:
    constexpr explicit MersenneTwister(uint32_t seed = 4357) { Seed(seed); }

    // A seed of 0 stands for 4357.
    constexpr void Seed(uint32_t seed)
    {
        mState[0] = seed == 0 ? 4357 : seed;
        for (uint32_t i = 1; i < kStateSize; ++i)
            mState[i] = 1812433253u * (mState[i - 1] ^ (mState[i - 1] >> 30)) + i;
        mIndex = kStateSize;
    }

    // 0 to 2^31 - 1.
    uint32_t Next();
    // 0 to range - 1; a range of 0 gives 0 (a number is still drawn).
    uint32_t NextBelow(uint32_t range);

private:
    static constexpr uint32_t kStateSize = 624;
    void Regenerate();

    std::array<uint32_t, kStateSize> mState{};
    int32_t mIndex = kStateSize;
};

} // namespace Lumo
