#pragma once

#include <cstdint>

// What a track of the controller's player is for, found by its owner tag.
struct CGUITrackEntry {
    int32_t mKind = 0;
    int32_t mA = 0;
    int32_t mB = 0;
};
