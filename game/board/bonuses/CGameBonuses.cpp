#include "game/board/bonuses/CGameBonuses.h"

#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"

namespace {

FieldBonusLinks FieldLinks(const GameBonusParts& parts, CBonusTime* time)
{
    const BonusEffectLinks& e = parts.mEffects;
    FieldBonusLinks links;
    links.mApp = e.mApp;
    links.mProcessor = e.mProcessor;
    links.mField = e.mField;
    links.mBase = e.mBase;
    links.mTracks = e.mTracks;
    links.mAnims = e.mAnims;
    links.mBanner = parts.mBanner;
    links.mEnergy = parts.mEnergy;
    links.mTime = time;
    return links;
}

SuperBonusLinks SuperLinks(const BonusEffectLinks& e)
{
    return {e.mProcessor, e.mField, e.mBall, e.mTracks, e.mImages, e.mAtlas, e.mActivity};
}

BonusEffectLinks WithFieldBonuses(BonusEffectLinks links, CFieldBonuses* bonuses)
{
    links.mBonuses = bonuses;
    return links;
}

} // namespace

CGameBonuses::CGameBonuses(const GameBonusParts& parts)
    : mParts(parts),
      mTime(*parts.mEffects.mProcessor, *parts.mEffects.mTracks),
      mFieldBonuses(FieldLinks(parts, &mTime)),
      mShadow(*parts.mEffects.mProcessor, *parts.mEffects.mField, *parts.mEffects.mBase, *parts.mEffects.mTracks,
              mFieldBonuses),
      mShell(*parts.mEffects.mProcessor, *parts.mEffects.mField, *parts.mEffects.mBase, *parts.mEffects.mTracks,
             *parts.mEffects.mAnims, mFieldBonuses),
      mRandomize(*parts.mEffects.mProcessor, *parts.mEffects.mField, *parts.mEffects.mBall,
                 *parts.mEffects.mTracks, *parts.mEffects.mActivity, mFieldBonuses),
      mBomb(WithFieldBonuses(parts.mEffects, &mFieldBonuses)),
      mPowerball(WithFieldBonuses(parts.mEffects, &mFieldBonuses)),
      mSuper(SuperLinks(parts.mEffects)),
      mDrawLink(mFieldBonuses, mShadow, mShell, *parts.mEffects.mBase, *parts.mEffects.mBall)
{
}

CGameBonuses::~CGameBonuses() = default;

void CGameBonuses::Init()
{
    mTime.Init();
    mFieldBonuses.Init();
    mShadow.Init();
    mShell.Init();
    mRandomize.Init();
    mBomb.Init();
    mPowerball.Init();
    mSuper.Init();
    mParts.mEffects.mProcessor->Links().mBonuses = &mFieldBonuses;
    mParts.mEffects.mField->SetDrawLink(&mDrawLink);
}

void CGameBonuses::Shutdown()
{
    CGameProcessor& processor = *mParts.mEffects.mProcessor;
    if (processor.Links().mBonuses == &mFieldBonuses)
        processor.Links().mBonuses = nullptr;
    mParts.mEffects.mField->SetDrawLink(nullptr);
    mFieldBonuses.StopBonusTimer();
    mFieldBonuses.ClearFieldBonuses(false);
    mPowerball.Shutdown();
    mBomb.Shutdown();
}
