#include "framework/core/RuntimeRandom.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

using BoardTest::Picture;
using BoardTest::ProcessorFixture;

namespace {

class FieldStepTest : public ProcessorFixture {
protected:
    FieldStepTest()
    {
        SetRules();
        mRuns.Init();
    }

    int32_t GroupAt(int32_t column, int32_t row) const
    {
        return CCellGrid::GroupOf(mField.Grid().Cell(column, row));
    }

    int32_t SlotsOfKind(int32_t kind) const
    {
        int32_t n = 0;
        for (const ProcessSlot& slot : mProcessor.Slots())
            n += slot.mKind == kind;
        return n;
    }

    CCellRuns mRuns;
};

TEST_F(FieldStepTest, AScoringStepEmptiesTheGroupShiftsEachLineAndSettlesOnce)
{
    Fill({"01230", "12312", "20002", "32123", "01230"});
    mField.Grid().SetQueueDirection(0);
    const size_t tracksBefore = mTracks.Running().Used();
    mProcessor.ProcessGroups(GroupAt(1, 2), false);

    EXPECT_EQ(mProcessor.PendingBlockMoves(), 3);
    EXPECT_EQ(SlotsOfKind(kProcessLinePlacement), 3);
    EXPECT_EQ(SlotsOfKind(kProcessLineStart), 1);
    EXPECT_EQ(SlotsOfKind(kProcessBlockRemoval), 1);
    EXPECT_EQ(SlotsOfKind(kProcessBlockFall), 3);
    EXPECT_EQ(mField.DetachedBlocks().size(), 3u);
    EXPECT_FLOAT_EQ(mProcessor.SettleTimer(), mBall.Times().mSettle);
    EXPECT_FLOAT_EQ(mBall.Gravity(), mBall.Def().mGMatched);
    EXPECT_EQ(mProcessor.NewBlocks().size(), 3u);
    // The columns closed up toward row 0 and took a block each at row 4.
    const std::vector<std::string> shifted = Picture(mField.Grid());
    EXPECT_EQ(shifted[2], "22122");
    EXPECT_EQ(shifted[3].substr(1, 3), "123");

    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(mLevel.Count("settled"), 1);
    EXPECT_FLOAT_EQ(mBall.Gravity(), mBall.Def().mG);
    ExpectFieldConsistent();
    EXPECT_EQ(Picture(mField.Grid())[2], "22122");
    EXPECT_EQ(mTracks.Running().Used(), tracksBefore);
    mProcessor.Shutdown();
    EXPECT_TRUE(LogHas("Chainstore Capacity=3, occupied=0"));
    EXPECT_TRUE(LogHas("Groupstore Capacity=3, occupied=0"));
}

TEST_F(FieldStepTest, ABonusStepMovesTheLinesAtOnceWithoutTimersOrFallingBlocks)
{
    Fill({"0123", "1230", "2301", "3012"});
    mField.Grid().SetQueueDirection(3);
    // The bonus has emptied the cells and taken the blocks itself.
    for (int32_t column : {1, 2}) {
        const int32_t cell = 1 * 4 + column;
        mField.Grid().Cell(cell) &= ~CCellGrid::kOccupied;
        mField.RemoveBlock(mField.Record(cell).mBlock);
        mField.Record(cell).mBlock = nullptr;
    }
    mProcessor.StepAfterBonus(4.0f, 1.0f);
    EXPECT_EQ(mProcessor.PendingBlockMoves(), 1);
    EXPECT_EQ(SlotsOfKind(kProcessLineStart), 0);
    EXPECT_EQ(SlotsOfKind(kProcessBlockRemoval), 0);
    EXPECT_EQ(SlotsOfKind(kProcessBlockFall), 0);
    EXPECT_TRUE(mField.DetachedBlocks().empty());
    EXPECT_FALSE(mProcessor.Player().mActive.empty());
    ASSERT_TRUE(RunUntilIdle());
    ExpectFieldConsistent();
}

TEST_F(FieldStepTest, APuzzleStepShowsTheReservedShareOfTheField)
{
    std::vector<std::string> rows(3, "44444444");
    for (const char* row : {"44444401", "12301200", "01230123", "12301230", "23012301"})
        rows.push_back(row);
    for (int32_t scoring : {1, 0}) {
        Fill(rows);
        mField.Grid().SetQueueDirection(0);
        ASSERT_EQ(mField.Grid().ColourHistogram(4), 30);
        mLevel.mScoringMode = scoring;
        mHost.mCompletion = -1;
        mProcessor.ProcessGroups(GroupAt(6, 4), false);
        EXPECT_EQ(mProcessor.PendingBlockMoves(), 2);
        EXPECT_EQ(mHost.mCompletion, scoring == 1 ? 46 : -1);
        ASSERT_TRUE(RunUntilIdle());
    }
}

TEST_F(FieldStepTest, LineTimingSpreadsTheRunsOverTheSettleTime)
{
    struct Case {
        float settle;
        float delaySpeed;
        size_t moves;
        float duration;
        float interval;
    };
    const Case cases[] = {
        {2.5f, 1.0f, 1, 1.5f, 1.5f}, {1.2f, 1.0f, 1, 1.0f, 1.0f}, {4.0f, 1.0f, 4, 3.0f, 1.0f},
        {0.0f, 0.0f, 2, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        MoveList moves;
        moves.mMoves.resize(c.moves);
        LinePlacement placement;
        placement.mMoves = &moves;
        placement.mCarried = 5.0f;
        mProcessor.SetStepTiming(c.settle, c.delaySpeed);
        mProcessor.PlanLineTiming(placement);
        EXPECT_FLOAT_EQ(placement.mDuration, c.duration) << c.settle;
        EXPECT_FLOAT_EQ(placement.mStepInterval, c.interval) << c.settle;
        EXPECT_FLOAT_EQ(placement.mStepSpeed, 1.0f / c.interval);
        EXPECT_EQ(placement.mCarried, 0.0f);
    }
}

TEST_F(FieldStepTest, AThousandRandomTurnsLeakNothingAndLeaveNoStuckProcess)
{
    Lumo::SRand(7);
    mField.Build(6, 6);
    mField.ResetForLevel();
    CGridParameters rules = mField.Grid().Parameters();
    rules.mSwitchSide = 1;
    ASSERT_TRUE(mField.Grid().SetParameters(rules));
    const size_t tracks = mTracks.Running().Used();
    const size_t instances = mAnims.Instances().Used();
    int32_t steps = 0;
    for (int32_t turn = 0; turn < 1000; ++turn) {
        CCellGrid& grid = mField.Grid();
        grid.Rebuild();
        const int32_t cell = int32_t(Lumo::Rand() % uint32_t(mField.CellCount()));
        const int32_t group = CCellGrid::GroupOf(grid.Cell(cell));
        if (grid.Group(group).Count() < grid.MatchCount()) {
            mProcessor.OnBallLanded(mField.Record(cell).mBlock, false);
        } else {
            mProcessor.OnBallLanded(mField.Record(cell).mBlock, true);
            mProcessor.ProcessGroups(group, false);
            ++steps;
        }
        mProcessor.Player().Detach(mProcessor.ComboWindow());
        ASSERT_TRUE(RunUntilIdle()) << turn;
    }
    EXPECT_GT(steps, 100);
    EXPECT_EQ(mLevel.Count("settled"), steps);
    ExpectFieldConsistent();
    EXPECT_EQ(mTracks.Running().Used(), tracks);
    EXPECT_EQ(mAnims.Instances().Used(), instances);
}

} // namespace
