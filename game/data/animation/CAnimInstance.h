#pragma once

#include <cstdint>

class CAnimTrack;

// One playing frame animation: the track that plays it and its run of the
// frame list. An instance that took its track itself frees it on release.
struct CAnimInstance {
    CAnimTrack* mTrack = nullptr;
    int32_t mFirstFrame = 0;
    int32_t mEndFrame = 0;
    int32_t mOwnsTrack = 0;
    int32_t mPoolIndex = 0;
};
