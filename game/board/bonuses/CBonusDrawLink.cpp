#include "game/board/bonuses/CBonusDrawLink.h"

#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CBonusShadowball.h"
#include "game/board/bonuses/CBonusShell.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/play/CBall.h"

CBonusDrawLink::CBonusDrawLink(const CFieldBonuses& bonuses, CBonusShadowball& shadow, const CBonusShell& shell,
                               const CBonusBase& base, const CBall& ball)
    : mBonuses(bonuses), mShadow(shadow), mShell(shell), mBase(base), mBall(ball)
{
}

const CAnimTrack* CBonusDrawLink::BonusFadeTrack() const
{
    return mBonuses.BonusFadeTrack();
}

int32_t CBonusDrawLink::ShadowPassCount() const
{
    return mShadow.PassCount();
}

void CBonusDrawLink::ShadowLevels(int32_t* l1, int32_t* l2, int32_t* l3) const
{
    mBase.FadeColour(mBall.Position()[2] * mBall.Times().mInverseApex, l1, l2, l3);
}

int32_t CBonusDrawLink::TakeShadowTurn()
{
    return mShadow.TakeTurn();
}

int32_t CBonusDrawLink::ShellPhase() const
{
    return mShell.Phase();
}

const CAnimTrack* CBonusDrawLink::ShellTrack() const
{
    return mShell.Track();
}

BonusAppearance CBonusDrawLink::DescribeBonus(const BonusRecord& bonus) const
{
    return mBonuses.DescribeBonus(bonus);
}

int32_t CBonusDrawLink::FieldBonusCount() const
{
    return mBonuses.FieldBonusCount();
}

CFieldBlock* CBonusDrawLink::FieldBonusBlock(int32_t index) const
{
    return mBonuses.FieldBonusBlock(index);
}
