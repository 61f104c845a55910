#pragma once

#include <cstdint>

class CAnimTrack;
struct BonusRecord;
struct CAnimInstance;
struct CFieldBlock;

// How a bonus on a block looks this frame.
struct BonusAppearance {
    CAnimInstance* mAnim = nullptr;
    const CAnimTrack* mColourTrack = nullptr;
    // Its lifetime runs and its fade is above the bonus's minimum alpha.
    bool mVisible = false;
    int32_t mOffsetX = 0;
    int32_t mOffsetY = 0;
};

// What the field's drawing reads of the game processor, the ball and the
// bonuses.
class CFieldDrawLink {
public:
    virtual ~CFieldDrawLink() = default;
    // The fade of a bonus in action, running from 1 to 0.
    virtual const CAnimTrack* BonusFadeTrack() const = 0;
    // Shadow ball: the pass count, the light levels of the rings around the
    // landing cell for the ball's height, and the turn to add to every other
    // block, handed over once (the processor's accumulator restarts at 0).
    virtual int32_t ShadowPassCount() const = 0;
    virtual void ShadowLevels(int32_t* l1, int32_t* l2, int32_t* l3) const = 0;
    virtual int32_t TakeShadowTurn() = 0;
    // Shell: 0 fading to black, 1 acting, 2 unfading, and its track.
    virtual int32_t ShellPhase() const = 0;
    virtual const CAnimTrack* ShellTrack() const = 0;
    virtual BonusAppearance DescribeBonus(const BonusRecord& bonus) const = 0;
    // The field's bonus list: the blocks of its entries (null for an empty entry).
    virtual int32_t FieldBonusCount() const = 0;
    virtual CFieldBlock* FieldBonusBlock(int32_t index) const = 0;
};
