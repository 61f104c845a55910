#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CBonusBanner.h"
#include "game/board/levels/CBonusLevel.h"
#include "game/board/CFieldActivity.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/bonuses/CGameBonuses.h"
#include "game/data/pictures/CImageAtlas.h"
#include "game/data/effects/CParticleSystem.h"
#include "tests/game/board/bonuses/BonusFixture.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

namespace BoardTest {
namespace {

struct Scoring : CBonusLevel {
    int32_t MatchPoints(int32_t groupSize) const override { return groupSize; }
    void AddPoints(int32_t points) override { mPoints += points; }
    int32_t mPoints = 0;
};

struct Activity : CFieldActivity {
    void SetFieldActive(bool active) override { mActive = active; }
    bool mActive = true;
};

class CGameBonusesTest : public ProcessorFixture {
protected:
    CGameBonusesTest()
    {
        mBase.LoadFromXml(Root("bonusbase.xml"), mTracks, mAnims, mImages);
        mBase.mEnergyAmount = 50;
        mBase.mTimeSpeed = 0.05f;
        mAtlas.Setup(mImages);
        CParticleSystem::Get().Attach(&mAnims, &mImages);
        mBonuses.Init();
        mIdle = mProcessor.LiveProcesses();
    }
    ~CGameBonusesTest() override
    {
        mBanner.Clear();
        mBonuses.Shutdown();
    }

    GameBonusParts Parts()
    {
        GameBonusParts parts;
        parts.mEffects = {&App(), &mProcessor, &mField,  &mBall,     &mBase,     &mTracks,
                          &mAnims, &mImages,   &mAtlas,  nullptr,    &mActivity, &mScoring};
        parts.mBanner = &mBanner;
        parts.mEnergy = &mEnergy;
        return parts;
    }
    bool Idle()
    {
        int32_t generation = 0;
        for (const ProcessSlot& slot : mProcessor.Slots())
            generation += slot.mKind == kProcessBonusTimer;
        return mProcessor.LiveProcesses() - generation == mIdle;
    }
    bool RunToIdle()
    {
        for (int32_t i = 0; i < 20000 && !Idle(); ++i) {
            mProcessor.DispatchFinished(1.0f);
            CParticleSystem::Get().UpdateEmitters(1.0f);
        }
        return Idle();
    }

    CBonusBase mBase;
    CBonusBanner mBanner{mProcessor, mField, mImages, mTracks};
    CImageAtlas mAtlas;
    RecordingEnergy mEnergy;
    Scoring mScoring;
    Activity mActivity;
    CGameBonuses mBonuses{Parts()};
    int32_t mIdle = 0;
};

// Made and initialised in one go, the set fires every bonus from a landing on
// it and ends each in play with the field whole.
TEST_F(CGameBonusesTest, EveryBonusFiresAndEndsInPlay)
{
    CFieldBonuses& field = mBonuses.FieldBonuses();
    EXPECT_EQ(mProcessor.Links().mBonuses, &field);
    for (int32_t id = 0; id < kBonusCount; ++id) {
        CFieldBlock* block = mField.Record(3 * mField.Width() + 3).mBlock;
        BonusRecord* bonus = mBase.TakeRecord(id);
        bonus->mBlock = block;
        field.AttachBonusToBlock(bonus);
        for (int32_t i = 0; i < 2000 && !CFieldBonuses::IsArmed(*bonus); ++i)
            mProcessor.DispatchFinished(1.0f);
        ASSERT_TRUE(CFieldBonuses::IsArmed(*bonus)) << id;
        field.ActivateBonus(bonus);
        ASSERT_TRUE(RunToIdle()) << id;
        field.StopBonusTimer();
        EXPECT_EQ(field.BonusesOnField(), 0) << id;
        EXPECT_EQ(mField.Effects().mBonusInAction, 0) << id;
        EXPECT_TRUE(mActivity.mActive) << id;
        ExpectFieldConsistent();
    }
    EXPECT_GT(mScoring.mPoints, 300);
    EXPECT_EQ(mEnergy.mEnergy, 550);

    mBonuses.Shutdown();
    EXPECT_EQ(mProcessor.Links().mBonuses, nullptr);
    EXPECT_EQ(LogText().find("freed twice"), std::string::npos);
}

} // namespace
} // namespace BoardTest
