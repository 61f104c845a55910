#include "tests/game/board/bonuses/BonusFixture.h"

#include "game/board/bonuses/BonusRecord.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CTrackBase.h"

namespace BoardTest {

namespace {

FieldBonusLinks Links(Lumo::LumoAppBase* app, CGameProcessor* processor, CGameField* field, CBonusBase* base,
                      CTrackBase* tracks, CAnimBase* anims, CBonusBanner* banner, CEnergyMeter* energy,
                      CBonusTime* time)
{
    FieldBonusLinks links;
    links.mApp = app;
    links.mProcessor = processor;
    links.mField = field;
    links.mBase = base;
    links.mTracks = tracks;
    links.mAnims = anims;
    links.mBanner = banner;
    links.mEnergy = energy;
    links.mTime = time;
    return links;
}

} // namespace

BonusFixture::BonusFixture()
    : mBonuses(Links(&App(), &mProcessor, &mField, &mBase, &mTracks, &mAnims, &mBanner, &mEnergy, &mTime))
{
    mBase.LoadFromXml(Root("bonusbase.xml"), mTracks, mAnims, mImages);
    mTime.Init();
    mBonuses.Init();
    mProcessor.Links().mBonuses = &mBonuses;
    mBonuses.SetBonusNames({"SNIPER", "RANDOMIZE", "SHADOW", "SHELL", "POWER", "BOMB", "ENERGY", "TIME"});
    TakeBaseline();
}

BonusFixture::~BonusFixture()
{
    mBanner.Clear();
    mBonuses.ClearFieldBonuses(false);
}

bool BonusFixture::Idle() const
{
    // The generation timer runs all through play; it keeps nothing waiting.
    return mProcessor.LiveProcesses() - SlotsOfKind(kProcessBonusTimer) == mIdleProcesses;
}

bool BonusFixture::RunUntilIdle(int32_t limit)
{
    for (int32_t i = 0; i < limit && !Idle(); ++i)
        mProcessor.DispatchFinished(1.0f);
    return Idle();
}

void BonusFixture::TakeBaseline()
{
    mIdleProcesses = mProcessor.LiveProcesses();
    mTracksAtStart = mTracks.Running().Used();
}

int32_t BonusFixture::TracksTaken() const
{
    return int32_t(mTracks.Running().Used()) - int32_t(mTracksAtStart);
}

int32_t BonusFixture::PopupRecordsInUse()
{
    int32_t used = 0;
    for (int32_t i = 0; i < mField.PopupCount(); ++i)
        used += mField.Popup(i).mType != PopupRecord::kFree;
    return used;
}

int32_t BonusFixture::SlotsOfKind(int32_t kind) const
{
    int32_t count = 0;
    for (const ProcessSlot& slot : mProcessor.Slots())
        count += slot.mKind == kind;
    return count;
}

BonusRecord* BonusFixture::PlaceVisibleBonus(int32_t id, int32_t column, int32_t row)
{
    CFieldBlock* block = mField.Record(row * mField.Width() + column).mBlock;
    BonusRecord* bonus = mBase.TakeRecord(id);
    bonus->mBlock = block;
    mBonuses.AttachBonusToBlock(bonus);
    for (int32_t i = 0; i < 2000 && !CFieldBonuses::IsArmed(*bonus); ++i)
        mProcessor.DispatchFinished(1.0f);
    return bonus;
}

BonusEffectLinks BonusFixture::EffectLinks(CBonusLevel& level, CFieldActivity& activity, CImageAtlas* atlas)
{
    BonusEffectLinks links;
    links.mApp = &App();
    links.mProcessor = &mProcessor;
    links.mField = &mField;
    links.mBall = &mBall;
    links.mBase = &mBase;
    links.mTracks = &mTracks;
    links.mAnims = &mAnims;
    links.mImages = &mImages;
    links.mAtlas = atlas;
    links.mBonuses = &mBonuses;
    links.mActivity = &activity;
    links.mLevel = &level;
    return links;
}

} // namespace BoardTest
