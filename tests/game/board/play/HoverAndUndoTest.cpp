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

class HoverAndUndoTest : public ProcessorFixture {
protected:
    HoverAndUndoTest()
    {
        SetRules();
        mRuns.Init();
        mRuns.SetRecording(true);
        Fill({"01230", "12312", "20002", "32123", "01230"});
        mField.SetExcludedCell(4, 4);
    }

    CFieldBlock& Block(int32_t column, int32_t row) { return *mField.Record(row * 5 + column).mBlock; }
    void PointAt(int32_t column, int32_t row)
    {
        mHost.mPointerOver = true;
        mHost.mPointerColumn = column;
        mHost.mPointerRow = row;
    }
    // Frames until the hover's phase changes (or a limit).
    void UntilPhaseChanges(const CFieldBlock& block)
    {
        const int32_t phase = block.mHover.mPhase;
        for (int32_t n = 0; n < 1000 && block.mHover.mPhase == phase; ++n)
            Frames(1);
    }

    CCellRuns mRuns;
};

TEST_F(HoverAndUndoTest, AHoverStartsLoopsAndEndsWithThePointer)
{
    CFieldBlock& block = Block(1, 1);
    PointAt(1, 1);
    mProcessor.StartCellHover(block);
    EXPECT_EQ(block.mHover.mPhase, 1);
    ASSERT_NE(block.mHover.mAnim, nullptr);
    EXPECT_EQ(mProcessor.LiveProcesses(), 2);
    UntilPhaseChanges(block);
    EXPECT_EQ(block.mHover.mPhase, 2);
    Frames(300);
    EXPECT_EQ(block.mHover.mPhase, 2);

    mHost.mPointerOver = false;
    UntilPhaseChanges(block);
    EXPECT_EQ(block.mHover.mPhase, 3);
    // Back on the block during the end: the hover starts again afterwards.
    PointAt(1, 1);
    UntilPhaseChanges(block);
    EXPECT_EQ(block.mHover.mPhase, 1);

    // Off the block during the start: the end follows the start.
    PointAt(2, 2);
    UntilPhaseChanges(block);
    EXPECT_EQ(block.mHover.mPhase, 3);
    UntilPhaseChanges(block);
    EXPECT_EQ(block.mHover.mPhase, 0);
    EXPECT_EQ(block.mHover.mAnim, nullptr);
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
}

TEST_F(HoverAndUndoTest, NoHoverStaysEndedOnTheBallsCellOrAfterPlayStops)
{
    CFieldBlock& landing = Block(4, 4);
    mProcessor.StartCellHover(landing);
    EXPECT_EQ(landing.mHover.mPhase, 0);

    // The ball lands on a hovered block: its end cannot restart the hover.
    CFieldBlock& block = Block(3, 3);
    PointAt(3, 3);
    mProcessor.StartCellHover(block);
    mField.SetExcludedCell(3, 3);
    UntilPhaseChanges(block);
    EXPECT_EQ(block.mHover.mPhase, 3);
    UntilPhaseChanges(block);
    EXPECT_EQ(block.mHover.mPhase, 0);
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);

    // Waiting for the level's end stops a running hover.
    CFieldBlock& other = Block(2, 1);
    PointAt(2, 1);
    mProcessor.StartCellHover(other);
    mProcessor.SetState(1);
    Frames(1);
    EXPECT_EQ(other.mHover.mPhase, 0);
    EXPECT_EQ(other.mHover.mAnim, nullptr);
    EXPECT_EQ(mLevel.Count("state"), 1);
}

TEST_F(HoverAndUndoTest, UndoWithNothingToTakeBackChangesNothing)
{
    const uint32_t ball = mBall.State();
    EXPECT_FALSE(mProcessor.StartUndo());
    EXPECT_EQ(mBall.State(), ball);
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
}

TEST_F(HoverAndUndoTest, UndoRestoresTheFieldBeforeTheStepInEveryDirection)
{
    for (int32_t direction = 0; direction < 4; ++direction) {
        mField.Grid().SetQueueDirection(direction);
        mField.Grid().Rebuild();
        const std::vector<std::string> before = Picture(mField.Grid());
        mProcessor.ProcessGroups(CCellGrid::GroupOf(mField.Grid().Cell(2, 2)), false);
        // Pressed while the blocks still move: it waits for the settling.
        EXPECT_TRUE(mProcessor.StartUndo());
        EXPECT_TRUE(mProcessor.UndoRequested());
        EXPECT_TRUE(mBall.Has(CBall::kHeld));
        ASSERT_TRUE(RunUntilIdle());
        EXPECT_EQ(Picture(mField.Grid()), before) << direction;
        for (int32_t cell = 0; cell < 25; ++cell) {
            const CFieldBlock* block = mField.Record(cell).mBlock;
            EXPECT_EQ(block->mColour, CCellGrid::ColourOf(mField.Grid().Cell(cell)));
            EXPECT_EQ(block->mHighlightTrack, nullptr);
        }
        EXPECT_TRUE(mRuns.Runs().empty());
        EXPECT_TRUE(mBall.Has(CBall::kBouncing));
        EXPECT_FALSE(mBall.Has(CBall::kHeld));
        EXPECT_EQ(mBall.ColourTrack(), nullptr);
        EXPECT_FLOAT_EQ(mBall.Position()[0], 0.5f * mField.StepX());
        EXPECT_EQ(mHost.mCalls.back(), "set down");
    }
}

// A click whose landing takes a group and whose resting ball then takes
// the group that rose under it made two steps: one press takes both back,
// marking only the blocks whose colour the click had changed. The press
// after it takes back the click before, a step of its own.
TEST_F(HoverAndUndoTest, OneUndoTakesBackEveryStepOfTheLastClick)
{
    mField.Grid().SetQueueDirection(0);
    mField.Grid().Rebuild();
    const auto step = [this](int32_t column, int32_t row) {
        mProcessor.ProcessGroups(CCellGrid::GroupOf(mField.Grid().Cell(column, row)), false);
        ASSERT_TRUE(RunUntilIdle());
    };
    const std::vector<std::string> start = Picture(mField.Grid());
    step(2, 2);
    const std::vector<std::string> firstClick = Picture(mField.Grid());
    mRuns.BeginMove();
    step(0, 0);
    step(4, 4);
    ASSERT_EQ(mRuns.Runs().size(), 3u);
    const std::vector<std::string> secondClick = Picture(mField.Grid());

    ASSERT_TRUE(mProcessor.StartUndo());
    EXPECT_EQ(Picture(mField.Grid()), firstClick);
    for (int32_t cell = 0; cell < 25; ++cell) {
        const size_t row = size_t(cell / 5), column = size_t(cell % 5);
        EXPECT_EQ(mField.Record(cell).mBlock->mHighlightTrack == mProcessor.UndoTimer(),
                  firstClick[row][column] != secondClick[row][column])
            << cell;
    }
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Picture(mField.Grid()), firstClick);
    EXPECT_EQ(mRuns.Runs().size(), 1u);

    ASSERT_TRUE(mProcessor.StartUndo());
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Picture(mField.Grid()), start);
    EXPECT_TRUE(mRuns.Runs().empty());
    ExpectFieldConsistent();
}

} // namespace
