#pragma once

#include "game/data/effects/CParticleEmitter.h"

#include <cstdint>

// A square spray of drifting sprites in the middle of the screen, emitted again
// whenever some have died, so that every measured frame draws the same load.
class ParticleSpray {
public:
    ParticleSpray(int32_t visual, int32_t runs, int32_t perRun);

    void Emit();
    bool Thinned() const { return mEmitter.mLive < mRuns * mPerRun; }
    CParticleEmitter& Emitter() { return mEmitter; }

private:
    CParticleEmitter mEmitter;
    ParticleConfig mConfig;
    int32_t mVisual;
    int32_t mRuns;
    int32_t mPerRun;
};
