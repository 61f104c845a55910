#pragma once

#include <cstdint>

class CAnimTrack;
class CParticleEmitter;
struct CAnimInstance;

// One entry of the field's popup list, drawn over everything else. Its type
// says which fields count: 0 free, 1 score popup or arrow, 2 moving image,
// 3 beam, 4 particle emitter, 5 animation.
struct PopupRecord {
    static constexpr int32_t kFree = 0;
    static constexpr int32_t kScore = 1;
    static constexpr int32_t kMovingImage = 2;
    static constexpr int32_t kBeam = 3;
    static constexpr int32_t kEmitter = 4;
    static constexpr int32_t kAnimation = 5;

    int32_t mType = kFree;
    // Types 1 and 2 are drawn only while this is 0.
    int32_t mHidden = 0;
    int32_t mSlot = -2;
    int32_t mX = 0;
    int32_t mY = 0;
    // Type 1: the two-channel movement; type 2: the move scaled by the amplitudes.
    CAnimTrack* mMoveTrack = nullptr;
    CAnimTrack* mColourTrack = nullptr;
    int32_t mAmplitudeX = 0;
    int32_t mAmplitudeY = 0;
    CAnimTrack* mScaleTrack = nullptr;
    // Set: a scaled image's position scales about the draw origin too.
    uint8_t mZoomPosition = 0;
    // Beam: mPieceCount frames from (mX, mY) on, mStep apart, then the tip.
    int32_t mStepX = 0;
    int32_t mStepY = 0;
    int32_t mPieceCount = 0;
    int32_t mTipSlot = -2;
    int32_t mMaskSlot = -2;
    int32_t mCachedFrame = -2;
    CAnimInstance* mBeamAnim = nullptr;
    CAnimInstance* mGlowAnim = nullptr;
    int32_t mGlowX = 0;
    int32_t mGlowY = 0;
    CParticleEmitter* mEmitter = nullptr;
    // Type 5.
    CAnimInstance* mAnim = nullptr;
};
