#pragma once

#include "game/board/field/CFieldDrawLink.h"

class CBall;
class CBonusBase;
class CBonusShadowball;
class CBonusShell;
class CFieldBonuses;

// The field drawing's view of the bonuses: the bonuses on the field with
// their fade, the shadow ball's passes, turns and light levels, the shell's
// phase. None of the parts is owned.
class CBonusDrawLink : public CFieldDrawLink {
public:
    CBonusDrawLink(const CFieldBonuses& bonuses, CBonusShadowball& shadow, const CBonusShell& shell,
                   const CBonusBase& base, const CBall& ball);

    const CAnimTrack* BonusFadeTrack() const override;
    int32_t ShadowPassCount() const override;
    // The light levels follow the ball's height over its bounce apex.
    void ShadowLevels(int32_t* l1, int32_t* l2, int32_t* l3) const override;
    int32_t TakeShadowTurn() override;
    int32_t ShellPhase() const override;
    const CAnimTrack* ShellTrack() const override;
    BonusAppearance DescribeBonus(const BonusRecord& bonus) const override;
    int32_t FieldBonusCount() const override;
    CFieldBlock* FieldBonusBlock(int32_t index) const override;

private:
    const CFieldBonuses& mBonuses;
    CBonusShadowball& mShadow;
    const CBonusShell& mShell;
    const CBonusBase& mBase;
    const CBall& mBall;
};
