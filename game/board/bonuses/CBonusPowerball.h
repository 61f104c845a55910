#pragma once

#include "framework/graphics/Rect.h"
#include "game/board/bonuses/BonusEffectLinks.h"
#include "game/board/bonuses/CBonusParticles.h"
#include "game/board/field/GroupRecord.h"
#include "game/data/animation/CCurve.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CAnimTrack;
struct CAnimInstance;

// The power ball: 200 points, then a beam from the ball shoots every matched
// group in turn. A hit group scores, throws particles and fades; when the last
// one has faded they all leave the field together and the lines close up.
class CBonusPowerball {
public:
    enum State : int32_t { kIdle = 0, kWaiting = 1, kShot = 2, kReloading = 3 };

    // A beam of a length in whole frame pieces of a step, and the length of
    // the shorter last piece (0 when it would be 5 pixels or less).
    struct BeamPieces {
        int32_t mWhole = 0;
        float mRest = 0.0f;
    };
    static BeamPieces CutBeam(float length, float step);

    explicit CBonusPowerball(const BonusEffectLinks& links);
    ~CBonusPowerball();
    CBonusPowerball(const CBonusPowerball&) = delete;
    CBonusPowerball& operator=(const CBonusPowerball&) = delete;

    // Takes the three tracks and the ball's glow, registers the process kind
    // and the power ball's effect.
    void Init();
    void Shutdown();
    // False while a power ball runs, and when no group matches (the points stay).
    bool Activate();

    int32_t GetState() const { return mState; }
    const std::vector<GroupRecord>& Groups() const { return mGroups; }
    int32_t ShotIndex() const { return mShot; }
    bool Scored(int32_t group) const { return mScored[std::size_t(group)] != 0; }
    // The beam's entry in the field's popup list, -2 between shots.
    int32_t ShotPopup() const { return mShotPopup; }
    // The atlas pictures the shot in flight is drawn from.
    const std::vector<int32_t>& ShotImages() const { return mShotImages; }
    const CParticleEmitter& Emitter() const { return mParticles.Emitter(); }

private:
    void Update(CAnimTrack& track, int32_t slot);
    void OnStageTrack();
    void OnShotFlown();
    void Shoot();
    void MakeBeamImages(float angle, float rest, int32_t* tip, int32_t* mask);
    void DrawRotatedFrame(int32_t source, float angle, const Lumo::Rect& box);
    void DrawTipMask(float angle, float rest, const Lumo::Rect& box);
    int32_t NewShotImage(int32_t width, int32_t height);
    void ScoreGroup(int32_t group);
    void FreeShotImages();
    void OnGroupFaded(CAnimTrack& track, int32_t group);
    void OnHitFaded(CAnimTrack& track, int32_t slot);
    void Finish();

    BonusEffectLinks mLinks;
    CBonusParticles mParticles;
    int32_t mState = kIdle;
    std::vector<GroupRecord> mGroups;
    std::vector<uint8_t> mScored;
    int32_t mShot = 0;
    int32_t mGroupsLeft = 0;
    // The stage timer, the hit light's timer (the group scores at its end) and the final fade.
    CAnimTrack* mTrack = nullptr;
    CAnimTrack* mHitTrack = nullptr;
    CAnimTrack* mFinalFade = nullptr;
    int32_t mHitGroup = 0;
    CCurve mFadeCurve;
    CAnimInstance* mGlow = nullptr;
    // The shot in flight: its beam record and pictures, its hit light and the light's record.
    int32_t mShotPopup = -2;
    std::vector<int32_t> mShotImages;
    CAnimInstance* mHitLight = nullptr;
    int32_t mHitPopup = -2;
};
