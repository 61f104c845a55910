#pragma once

#include "game/data/animation/CCurve.h"

#include <cstdint>
#include <memory>

class CAnimTrack;

// How one spin ring rises, spins and falls: the rise and fall tracks, the
// circle it spins on (radius mR, height mH, start turn mSpin) and its two
// running tracks, the second playing the circle.
struct QueueController {
    int32_t mUp = -1;
    int32_t mDown = -1;
    float mR = 0.0f;
    float mH = 0.0f;
    float mSpin = 0.0f;
    std::unique_ptr<CCurve> mSpinPoints = std::make_unique<CCurve>();
    CAnimTrack* mRiseFall = nullptr;
    CAnimTrack* mSpinTrack = nullptr;
    int32_t mSpinRepeat = 0;
};
