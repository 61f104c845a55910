#pragma once

#include "game/board/bonuses/BonusEffectLinks.h"
#include "game/board/bonuses/CBonusParticles.h"
#include "game/board/field/GroupRecord.h"

#include <cstdint>
#include <utility>
#include <vector>

class CAnimTrack;

// The bomb: after a wait tied to the ball's bounce it destroys the 3 x 3
// cells around the landing cell and every matched group reaching into them,
// scores them, throws particles and shows an explosion.
class CBonusBomb {
public:
    enum State : int32_t { kIdle = 0, kWaiting = 1, kDestroying = 2 };

    explicit CBonusBomb(const BonusEffectLinks& links);
    ~CBonusBomb();
    CBonusBomb(const CBonusBomb&) = delete;
    CBonusBomb& operator=(const CBonusBomb&) = delete;

    // Takes the bomb track and registers the process kind and the bomb's effect.
    void Init();
    void Shutdown();
    // False, doing nothing, while a bomb runs.
    bool Activate(int32_t column, int32_t row);

    int32_t GetState() const { return mState; }
    const std::vector<std::pair<int32_t, int32_t>>& Cells() const { return mCells; }
    const std::vector<GroupRecord>& Groups() const { return mGroups; }
    const CParticleEmitter& Emitter() const { return mParticles.Emitter(); }

private:
    void Update(CAnimTrack& track);
    void StartDestruction();
    void Destroy();
    void Finish();

    BonusEffectLinks mLinks;
    int32_t mState = kIdle;
    CAnimTrack* mTrack = nullptr;
    CBonusParticles mParticles;
    int32_t mExplosionPopup = -2;
    int32_t mColumn = 0;
    int32_t mRow = 0;
    std::vector<std::pair<int32_t, int32_t>> mCells;
    std::vector<GroupRecord> mGroups;
};
