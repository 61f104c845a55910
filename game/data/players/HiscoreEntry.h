#pragma once

#include <cstdint>

// One hiscore, also the 24-byte record of "scores.dat".
struct HiscoreEntry {
    static constexpr int kNameSize = 16;
    static constexpr int kRecordSize = 24;

    // Terminated, at most 15 characters.
    char name[kNameSize] = {};
    int32_t score = 0;
    // Table 0: the result index, shown as a rank name; table 1: 0.
    int32_t extra = 0;
};
static_assert(sizeof(HiscoreEntry) == HiscoreEntry::kRecordSize);
