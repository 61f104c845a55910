#pragma once

#include <cstdint>

class CAnimTrack;
struct BonusRecord;
struct CAnimInstance;

// The hover effect a block carries while the mouse is over it: an animation
// with its track and the colour track that tints it.
struct BlockHover {
    CAnimInstance* mAnim = nullptr;
    CAnimTrack* mTrack = nullptr;
    CAnimTrack* mColourTrack = nullptr;
    // 0 none, 1 starting, 2 looping, 3 ending.
    int32_t mPhase = 0;
};

// One block of the field, taken from the field's pool.
struct CFieldBlock {
    int32_t mPoolIndex = 0;
    // A colour track that tints the block, and how it is applied (0 to 3).
    CAnimTrack* mHighlightTrack = nullptr;
    int32_t mHighlightMode = 0;
    // A two-channel track whose integer sample offsets the block (a fall or a bump).
    CAnimTrack* mMotionTrack = nullptr;
    // When present, their frames replace the colour sprite and the own sprite.
    CAnimInstance* mColourAnim = nullptr;
    CAnimInstance* mOwnAnim = nullptr;
    // The block's own image-table slot.
    int32_t mSprite = -2;
    BonusRecord* mBonus = nullptr;
    int32_t mColumn = 0;
    int32_t mRow = 0;
    int32_t mColour = 0;
    // Opacity (0 to 255) of the own sprite over the colour sprite.
    int32_t mLightLevel = 0;
    int32_t mShellState = 0;
    // A crazy level's spin: the turns still to make (1 to 3), the colour it
    // aims for, 255 while the block must spin, and the half it is in (1 or 2).
    int16_t mSpinCount = 0;
    int16_t mSpinTarget = 0;
    uint8_t mSpinFlag = 0;
    uint8_t mSpinState = 0;
    // Where the block was last drawn, relative to the draw origin.
    int32_t mDrawX = 0;
    int32_t mDrawY = 0;
    BlockHover mHover;
};
