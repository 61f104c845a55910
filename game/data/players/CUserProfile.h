#pragma once

#include <cstdint>

// One player profile, also the 88-byte record of "users.dat". What the
// progress values mean is the level controller's; the profiles only keep them.
struct CUserProfile {
    static constexpr int kNameSize = 16;
    static constexpr int kProgressACount = 12;
    static constexpr int kProgressBCount = 5;
    static constexpr int kRecordSize = 88;
    // The largest values the game reaches, and arithmetic on them stays in range.
    static constexpr int32_t kMaxPosition = 999'999;
    static constexpr int32_t kMaxPoints = 999'999'999;
    static constexpr int32_t kMaxLives = 99;
    static constexpr int32_t kMaxEnergy = 1000;

    // Terminated, at most 15 characters, the rest zero.
    char name[kNameSize] = {};
    // Record offsets 16 to 60.
    int32_t progressA[kProgressACount] = {};
    // The largest progressA[2] / 10 ever stored.
    int32_t bestTenth = 0;
    // Record offsets 68 to 84.
    int32_t progressB[kProgressBCount] = {};
};
static_assert(sizeof(CUserProfile) == CUserProfile::kRecordSize);
