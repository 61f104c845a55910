#pragma once

#include <cstdint>

class CAnimTrack;
struct CAnimInstance;
struct CFieldBlock;

// A bonus definition, or a live bonus on a block (a copy of its definition);
// both come from the bonus base's pool.
struct BonusRecord {
    static constexpr int32_t kNone = -2;

    // Where the animation is drawn relative to the block's drawing position.
    int32_t mOffsetX = 0;
    int32_t mOffsetY = 0;
    int32_t mId = 0;
    // Track definition ids and the animation id shown on the block.
    int32_t mFadeInTrack = kNone;
    int32_t mFadeOutTrack = kNone;
    int32_t mAnimation = kNone;
    // The lifetime timer's speed, the coming-on timer's speed, and the
    // lifetime curve's value above which a landing fires the bonus.
    float mDisappearingSpeed = 0.0f;
    float mPresenceSpeed = 0.0f;
    float mMinAlpha = 0.0f;

    // A live bonus: its appearance, its lifetime (colour) track, the timer
    // that runs while it comes onto its block, the block, and its flags.
    CAnimInstance* mAnim = nullptr;
    CAnimTrack* mColourTrack = nullptr;
    CAnimTrack* mFadeTrack = nullptr;
    CFieldBlock* mBlock = nullptr;
    // Set once the bonus has come onto its block and its lifetime runs.
    uint8_t mFlags = 0;
    // The live bonus's process slot.
    int32_t mSlot = kNone;

    // A definition: how many more of its type may appear in this level.
    int32_t mAmount = 0;
    int32_t mPoolIndex = 0;
};
