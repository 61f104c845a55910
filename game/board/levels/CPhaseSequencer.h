#pragma once

#include "game/board/bonuses/CBonusParticles.h"
#include "game/data/animation/CCurve.h"

#include <array>
#include <cstdint>
#include <vector>

class CAnimBase;
class CAnimTrack;
class CBall;
class CGameField;
class CGameProcessor;
class CImageTable;
class CLevelFlow;
class CLevelHost;
class CTrackBase;
struct CAnimInstance;
struct CFieldBlock;

namespace Lumo {
class LumoAppBase;
}

// The game's components the phases work with; none owned.
struct PhaseLinks {
    Lumo::LumoAppBase* mApp = nullptr;
    CGameProcessor* mProcessor = nullptr;
    CGameField* mField = nullptr;
    CBall* mBall = nullptr;
    CTrackBase* mTracks = nullptr;
    CAnimBase* mAnims = nullptr;
    CImageTable* mImages = nullptr;
    // Told when a sequence has ended, for the level's current state.
    CLevelFlow* mLevel = nullptr;
    // Slides the HUD panel off.
    CLevelHost* mHost = nullptr;
};

// The short sequences that open and close a level: intros 1 to 3 bring the
// blocks, the border and the ball in; outros 6 to 8 take them away after a
// completed level; sequence 10, after a failed level, blows the blocks up one
// by one while the field shakes. Every motion is a process of the game
// processor; when the last one has ended, the level's state handler runs.
class CPhaseSequencer {
public:
    static constexpr int32_t kGameOver = 10;

    explicit CPhaseSequencer(const PhaseLinks& links);
    ~CPhaseSequencer();
    CPhaseSequencer(const CPhaseSequencer&) = delete;
    CPhaseSequencer& operator=(const CPhaseSequencer&) = delete;

    // Takes the sequencer's own tracks and registers its two process kinds.
    void CreateTracks();
    // Stops any sequence and gives every track back.
    void ReleaseTracks();

    // Intros 1 to 3, outros 6 to 8 and the game-over outro; a running
    // sequence is stopped first, and a number out of range starts nothing.
    void StartIntro(int32_t sequence);
    void StartOutro(int32_t sequence);
    void StartFinalOutro();
    // Ends every process of the sequence without its follow-ups.
    void Stop();

    bool Running() const { return mRunning; }
    int32_t Sequence() const { return mSequence; }
    int32_t PendingMotions() const { return mPending; }
    int32_t DiagonalsDone() const { return mDiagonalsDone; }
    int32_t ExplosionsDone() const { return mExplosionsDone; }
    // The cell each explosion so far took, in order.
    const std::vector<int32_t>& ExplodedCells() const { return mExploded; }
    const CParticleEmitter& Emitter() const { return mParticles.Emitter(); }
    // A per-block speed from speed and spread.
    static float RandomSpeed(float speed, float spread);

private:
    enum Owned : int32_t { kMaster, kRotation, kBorderA, kBorderB, kBorderTimer, kRowTimer, kBallSlide, kOwnedCount };
    enum GameOver : int32_t {
        kShake,
        kShakeAmplitude,
        kBallFade,
        kExplosionDelay,
        kExplosionInterval,
        kLastExplosion,
        kAcceleration,
        kGameOverCount
    };
    // One block's way in or out: a fall and, leaving, a fade.
    struct BlockMotion {
        CFieldBlock* mBlock = nullptr;
        CAnimTrack* mMotion = nullptr;
        CAnimTrack* mFade = nullptr;
        CAnimInstance* mAnim = nullptr;
        bool mDone = false;
    };

    bool Intro() const { return mSequence >= 1 && mSequence <= 3; }
    void Begin(int32_t sequence);
    void OnTrackFinished(CAnimTrack& track, int32_t slot);
    void OnGameOverTrack(CAnimTrack& track);
    void StartBlockAnims(bool outro, float speed, float spread);
    // A motion record for every block of the field, its animations cleared.
    void CollectMotions();
    // Every block ready to leave or arrive when its diagonal is set.
    void PrepareDiagonals(bool outro);
    void SetDiagonal(int32_t d);
    void StartBlockMotion(BlockMotion& motion, bool outro, float fallSpeed, float fadeSpeed);
    void FinishBlockMotion(BlockMotion& motion);
    void GiveRotation(BlockMotion& motion);
    void StartRotation();
    void BindBallSlide(int32_t definition, bool in);
    // The ball at the slide's end, still until play.
    void LandBall();
    // A sequencer track run as a process of its own.
    void RunOwned(CAnimTrack*& track, float speed);
    void RunBorder(int32_t which, int32_t definition, bool colour, bool running);
    // The definition on the track, to run once from time 0; a definition
    // the store lacks gives a timer that ends at once, and false.
    bool StartOnce(CAnimTrack*& track, int32_t definition, bool running);
    static void RunOnce(CAnimTrack& track);
    void StopTrack(CAnimTrack* track);
    void DetachBorder(const CAnimTrack* track);
    void StartGameOver();
    // One particle run per cell, each set up when its cell explodes.
    void SetUpExplosionRuns();
    void Explode();
    void StartExplosionAnim(int32_t column, int32_t row);
    void ReleaseGameOver();
    void CheckEnd();

    PhaseLinks mLinks;
    std::array<CAnimTrack*, kOwnedCount> mOwned{};
    std::array<CAnimTrack*, kGameOverCount> mGameOver{};
    std::vector<BlockMotion> mMotions;
    // The index of each cell's block in the motions, -1 for an empty cell.
    std::vector<int32_t> mCellMotion;
    std::array<float, 3> mSlideEnd{};
    CCurve mFallIn{2, 0, {0.0f, -600.0f, 0.0f, 0.0f}};
    CCurve mFallOut{2, 0, {0.0f, 0.0f, 0.0f, 600.0f}};
    CCurve mFadeOut{4, 0, {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f}};
    CBonusParticles mParticles;
    std::vector<int32_t> mSpiral;
    std::vector<int32_t> mExploded;
    int32_t mSequence = 0;
    bool mRunning = false;
    int32_t mPending = 0;
    int32_t mDiagonals = 0;
    int32_t mDiagonalsDone = 0;
    int32_t mExplosions = 0;
    int32_t mExplosionsDone = 0;
    bool mExplosionSound = false;
};
