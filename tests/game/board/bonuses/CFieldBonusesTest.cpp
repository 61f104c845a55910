#include "framework/core/RuntimeRandom.h"
#include "game/board/bonuses/BonusRecord.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/play/ProcessSlot.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>

namespace BoardTest {
namespace {

class CFieldBonusesTest : public BonusFixture {
protected:
    CFieldBonusesTest()
    {
        for (int32_t id = 0; id < kBonusCount; ++id)
            mBase.Definition(id).mAmount = 0;
        mBase.AvailableBonuses();
        mBase.mSimultaneousCount = 2;
        mBase.mEnergyAmount = 100;
        mBase.mTimeSpeed = 0.05f;
        mBonuses.SetGenerationSpeed(0.05f, 0.0f);
    }
};

// Bonuses come and go on random blocks, never more than the level allows at
// once, each linked both ways with its block; their amounts come back.
TEST_F(CFieldBonusesTest, GenerationKeepsTheLimitAndGivesEveryAmountBack)
{
    Lumo::SRand(7);
    mBase.SetAmount(kBonusSniper, 2);
    mBase.SetAmount(kBonusTime, 3);
    mBonuses.RestartBonusTimer();
    int32_t most = 0;
    for (int32_t frame = 0; frame < 3000; ++frame) {
        mProcessor.DispatchFinished(1.0f);
        ASSERT_LE(mBonuses.BonusesOnField(), 2);
        most = std::max(most, mBonuses.BonusesOnField());
        for (const BonusRecord* bonus : mBonuses.OnField())
            if (bonus) {
                ASSERT_EQ(bonus->mBlock->mBonus, bonus);
            }
    }
    EXPECT_EQ(most, 2);
    mBonuses.StopBonusTimer();
    mBonuses.ClearFieldBonuses(true);
    mBonuses.StopBonusTimer();
    EXPECT_EQ(mBase.Amount(kBonusSniper), 2);
    EXPECT_EQ(mBase.Amount(kBonusTime), 3);
    EXPECT_EQ(mBase.RecordsInUse(), kBonusCount);
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(TracksTaken(), 0);
}

TEST_F(CFieldBonusesTest, GenerationGates)
{
    struct Case {
        const char* what;
        int32_t simultaneous;
        int32_t energy;
        int32_t energyAmount;
        bool keepsGoing;
        int32_t onField;
    };
    for (const Case& c : {Case{"limit reached", 0, 0, 1, true, 0}, Case{"nothing available", 2, 0, 0, false, 0},
                          Case{"energy full", 2, 700, 1, true, 0}, Case{"energy low", 2, 699, 1, true, 1}}) {
        mBase.mSimultaneousCount = c.simultaneous;
        mEnergy.mEnergy = c.energy;
        mBase.SetAmount(kBonusEnergy, c.energyAmount);
        EXPECT_EQ(mBonuses.TryGenerateBonus(), c.keepsGoing) << c.what;
        EXPECT_EQ(mBonuses.BonusesOnField(), c.onField) << c.what;
        EXPECT_EQ(mBase.Amount(kBonusEnergy), c.energyAmount - c.onField) << c.what;
        mBonuses.ClearFieldBonuses(false);
        mBase.SetAmount(kBonusEnergy, 0);
    }
}

// The energy bonus starts no effect of its own: when the other bonuses have
// faded, the action must end, or every later bonus would be drawn invisible.
TEST_F(CFieldBonusesTest, EnergyBonusFadesTheOthersAndEndsTheAction)
{
    mEnergy.mEnergy = 950;
    BonusRecord* energy = PlaceVisibleBonus(kBonusEnergy, 0, 0);
    BonusRecord* other = PlaceVisibleBonus(kBonusBomb, 3, 3);
    ASSERT_TRUE(CFieldBonuses::IsArmed(*energy));
    const int32_t bombs = mBase.Amount(kBonusBomb);
    CFieldBlock* block = energy->mBlock;
    mBonuses.ActivateBonus(energy);
    EXPECT_EQ(block->mBonus, nullptr);
    EXPECT_EQ(mEnergy.mEnergy, 1000);
    EXPECT_EQ(mEnergy.mPercent, 100);
    EXPECT_EQ(mField.Effects().mBonusInAction, 1);
    EXPECT_EQ(other->mColourTrack->mRunning, 0);
    EXPECT_EQ(App().mSoundsPlayed, (std::vector<int32_t>{6, 15}));
    EXPECT_TRUE(LogHas("DBGPROCESS: bonus_activate 6"));
    EXPECT_TRUE(mBanner.Showing());

    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(mBonuses.BonusesOnField(), 0);
    EXPECT_EQ(mBase.Amount(kBonusBomb), bombs + 1);
    EXPECT_EQ(mField.Effects().mBonusInAction, 0);
    EXPECT_EQ(PopupRecordsInUse(), 0);
    mBonuses.StopBonusTimer();
    EXPECT_EQ(TracksTaken(), 0);
}

TEST_F(CFieldBonusesTest, NothingFiresWhileTheProcessorIsBusy)
{
    // Stopping play takes the bonuses off the field; one put on after that
    // still must not fire.
    mProcessor.SetState(1);
    BonusRecord* bonus = PlaceVisibleBonus(kBonusTime, 1, 1);
    ASSERT_TRUE(mProcessor.Busy());
    mBonuses.ActivateBonus(bonus);
    EXPECT_EQ(mField.Record(mField.Width() + 1).mBlock->mBonus, bonus);
    EXPECT_FALSE(mTime.Running());
}

TEST_F(CFieldBonusesTest, TimeBonusRunsOneTimerAndEndsTheActionAtOnce)
{
    BonusRecord* first = PlaceVisibleBonus(kBonusTime, 1, 1);
    BonusRecord* second = PlaceVisibleBonus(kBonusTime, 2, 2);
    mBonuses.ActivateBonus(first);
    EXPECT_TRUE(mTime.Running());
    EXPECT_TRUE(mBonuses.TimeBonusRunning());
    EXPECT_EQ(mField.Effects().mBonusInAction, 0);
    EXPECT_EQ(second->mColourTrack->mRunning, 1);
    Frames(5);
    mBonuses.ActivateBonus(second);
    EXPECT_EQ(SlotsOfKind(kProcessTimeBonus), 1);
    EXPECT_FLOAT_EQ(mTime.Timer()->mTime, 0.0f);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_FALSE(mTime.Running());
    EXPECT_EQ(TracksTaken(), 0);
}

// A bonus sample is not played twice in a row, but a start of play forgets
// the last one.
TEST_F(CFieldBonusesTest, ASampleRepeatsOnlyAfterPlayStartsAgain)
{
    BonusRecord* first = PlaceVisibleBonus(kBonusTime, 1, 1);
    BonusRecord* second = PlaceVisibleBonus(kBonusTime, 2, 2);
    BonusRecord* third = PlaceVisibleBonus(kBonusTime, 3, 3);
    mBonuses.ActivateBonus(first);
    mBonuses.ActivateBonus(second);
    mProcessor.SetState(0);
    mBonuses.ActivateBonus(third);
    EXPECT_EQ(App().mSoundsPlayed, (std::vector<int32_t>{6, 16, 6, 6, 16}));
}

// The sniper ends when its duration ends, also when its aim has stopped
// pulsing long before: its process never outlives it.
TEST_F(CFieldBonusesTest, SniperEndsWithItsDurationAndFreesItsProcess)
{
    mBase.mSniper.mActionSpeed = 0.01f;
    BonusRecord* bonus = PlaceVisibleBonus(kBonusSniper, 1, 2);
    mBonuses.ActivateBonus(bonus);
    ASSERT_TRUE(mBonuses.SniperRunning());
    ASSERT_NE(mBonuses.SniperAimTrack(), nullptr);
    EXPECT_EQ(SlotsOfKind(kProcessSniper), 1);
    mField.Record(0).mBlock->mHighlightTrack = mBonuses.SniperAimTrack();
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_FALSE(mBonuses.SniperRunning());
    EXPECT_EQ(mField.Record(0).mBlock->mHighlightTrack, nullptr);
    EXPECT_EQ(mField.Effects().mBonusInAction, 0);
}

// A bonus on a block that leaves with a scored group leaves with it at once
// (not when its lifetime ends) and may come again.
TEST_F(CFieldBonusesTest, ABonusLeavesWithItsBlock)
{
    PlaceVisibleBonus(kBonusTime, 2, 2);
    const int32_t times = mBase.Amount(kBonusTime);
    CCellGrid& grid = mField.Grid();
    grid.Rebuild();
    mProcessor.ProcessGroups(CCellGrid::GroupOf(grid.Cell(2, 2)), false);
    for (int32_t i = 0; i < 2000 && !(mField.DetachedBlocks().empty() && mProcessor.PendingBlockMoves() == 0); ++i)
        mProcessor.DispatchFinished(1.0f);
    ASSERT_TRUE(mField.DetachedBlocks().empty());
    EXPECT_EQ(mBonuses.BonusesOnField(), 0);
    EXPECT_EQ(mBase.Amount(kBonusTime), times + 1);
    EXPECT_EQ(mBase.RecordsInUse(), kBonusCount);
    EXPECT_EQ(SlotsOfKind(kProcessBonusLifetime), 0);
}

} // namespace
} // namespace BoardTest
