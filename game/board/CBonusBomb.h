#pragma once

#include "game/board/GroupRecord.h"
#include "game/data/CParticleEmitter.h"

#include <cstdint>
#include <utility>
#include <vector>

class CAnimBase;
class CAnimTrack;
class CBall;
class CBonusBase;
class CBonusLevel;
class CFieldActivity;
class CFieldBonuses;
class CGameField;
class CGameProcessor;
class CImageTable;
class CTrackBase;
struct CAnimInstance;
struct CFieldBlock;

namespace Lumo {
class LumoAppBase;
}

// The game's components the bomb works with; none owned.
struct BombLinks {
    Lumo::LumoAppBase* mApp = nullptr;
    CGameProcessor* mProcessor = nullptr;
    CGameField* mField = nullptr;
    CBall* mBall = nullptr;
    CBonusBase* mBase = nullptr;
    CTrackBase* mTracks = nullptr;
    CAnimBase* mAnims = nullptr;
    CImageTable* mImages = nullptr;
    CFieldBonuses* mBonuses = nullptr;
    CFieldActivity* mActivity = nullptr;
    CBonusLevel* mLevel = nullptr;
};

// The bomb: after a wait tied to the ball's bounce it destroys the 3 x 3
// cells around the landing cell and every matched group reaching into them,
// scores them, throws particles and shows an explosion.
class CBonusBomb {
public:
    enum State : int32_t { kIdle = 0, kWaiting = 1, kDestroying = 2 };

    explicit CBonusBomb(const BombLinks& links);
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
    const CParticleEmitter& Emitter() const { return mEmitter; }

private:
    void Update(CAnimTrack& track);
    void StartDestruction();
    void Destroy();
    void Finish();
    void OnParticlesDone();
    void ReleaseEmitter();

    BombLinks mLinks;
    int32_t mState = kIdle;
    CAnimTrack* mTrack = nullptr;
    CParticleEmitter mEmitter;
    int32_t mEmitterPopup = -2;
    int32_t mExplosionPopup = -2;
    int32_t mColumn = 0;
    int32_t mRow = 0;
    std::vector<std::pair<int32_t, int32_t>> mCells;
    std::vector<GroupRecord> mGroups;
};
