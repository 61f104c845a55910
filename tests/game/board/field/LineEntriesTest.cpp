#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/field/FieldPicture.h"
#include "tests/game/support/GameFixture.h"

#include <cstdlib>

namespace {

class LineEntriesTest : public GameTest::GameFixture {
protected:
    LineEntriesTest() { mField.SetBlockShape(BoardTest::SampleShape()); }

    void RunTrack(float from = 0.0f)
    {
        for (mTrack.mTime = from; mTrack.mTime <= 1.0f; mTrack.mTime += 0.01f)
            mField.StepLineEntries();
        mTrack.mTime = 1.0f;
        mField.StepLineEntries();
    }

    void ExpectNear(int32_t x, int32_t y, int32_t column, int32_t row)
    {
        int32_t cx = 0, cy = 0;
        mField.CellToScreen(column, row, &cx, &cy);
        EXPECT_LE(std::abs(x - cx), 1) << column << "," << row;
        EXPECT_LE(std::abs(y - cy), 1) << column << "," << row;
    }

    CGameField mField;
    CAnimTrack mTrack;
    CFieldBlock mBlocks[3];
};

} // namespace

// Three new blocks move up into column 2 of a field 8 high: they start one,
// two and three cells below it and end in rows 5, 6 and 7.
TEST_F(LineEntriesTest, SlidingEntryBringsEachBlockIntoItsOwnCell)
{
    mField.Build(4, 8);
    const LineEntry* entry = mField.MakeBlockAt(2, 8, 0, -1, 3, &mTrack, true);
    ASSERT_EQ(entry->mTargetCell, 7 * 4 + 2);
    for (int32_t i = 0; i < 3; ++i) {
        mBlocks[i].mColumn = 2;
        mBlocks[i].mRow = 5 + i;
        mField.AttachPieceBlocks(&mBlocks[i]);
    }
    for (int32_t i = 0; i < 3; ++i) {
        const MovingBlock& moving = mField.MovingBlocks()[size_t(i)];
        ExpectNear(moving.mStartX, moving.mStartY, 2, 8 + i);
        EXPECT_EQ(moving.mCell, (5 + i) * 4 + 2);
    }
    const CellRecord& target = mField.Record(7 * 4 + 2);
    EXPECT_EQ(target.mArrival, 1);
    EXPECT_EQ(target.mArriving, &mBlocks[0]);

    // Halfway the first block has crossed the edge and is drawn through the
    // stencil by the line's first cell; the others are not drawn yet.
    for (mTrack.mTime = 0.0f; mTrack.mTime < 0.2f; mTrack.mTime += 0.01f)
        mField.StepLineEntries();
    EXPECT_EQ(target.mArriving, &mBlocks[0]);
    EXPECT_EQ(mField.Record(6 * 4 + 2).mArriving, nullptr);

    RunTrack(mTrack.mTime);
    for (int32_t i = 0; i < 3; ++i) {
        const CellRecord& record = mField.Record((5 + i) * 4 + 2);
        EXPECT_EQ(record.mArriving, &mBlocks[i]) << i;
        ExpectNear(record.mArrivingX, record.mArrivingY, 2, 5 + i);
    }

    mField.CollectBlocks();
    EXPECT_TRUE(mField.LineEntries().empty());
    EXPECT_TRUE(mField.MovingBlocks().empty());
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(mField.Record((5 + i) * 4 + 2).mArriving, nullptr);
    EXPECT_EQ(target.mArrival, 0);
}

// A block closing gaps of 1 and then 2 cells up a column, with a budget of 3
// hand-overs; a further run is not handed on.
TEST_F(LineEntriesTest, MovingEntryHandsTheBlockOnWithinItsBudget)
{
    mField.Build(3, 6);
    LineEntry* entry = mField.MakeBlockAt(3, 0, 0, -1, 1, &mTrack, false);
    ASSERT_EQ(mField.MovingBlocks().size(), 1u);
    MovingBlock& moving = mField.MovingBlocks()[0];
    moving.mBlock = &mBlocks[0];
    moving.mCell = 5 * 3 + 1;
    mField.Record(moving.mCell).mLeaving = &mBlocks[0];
    entry->mEntered = 1;

    const auto run = [&](int32_t gap) {
        const CellRecord& from = mField.Record(moving.mCell);
        moving.mStartX = from.mScreenX;
        moving.mStartY = from.mScreenY;
        const FieldPoint span = mField.FieldToScreen({0.0f, -float(gap) * mField.StepY()});
        entry->mStepper.Init(int32_t(span.mX), int32_t(span.mY));
        RunTrack();
    };
    run(1);
    EXPECT_EQ(entry->mStartRow, 1);
    EXPECT_EQ(moving.mCell, 4 * 3 + 1);
    EXPECT_EQ(mField.Record(4 * 3 + 1).mLeaving, &mBlocks[0]);
    EXPECT_EQ(mField.Record(5 * 3 + 1).mLeaving, nullptr);
    run(2);
    EXPECT_EQ(entry->mStartRow, 3);
    EXPECT_EQ(moving.mCell, 2 * 3 + 1);
    ExpectNear(mField.Record(2 * 3 + 1).mLeavingX, mField.Record(2 * 3 + 1).mLeavingY, 1, 2);
    run(1);
    EXPECT_EQ(entry->mStartRow, 3);
    EXPECT_EQ(moving.mCell, 2 * 3 + 1);
    EXPECT_EQ(mField.Record(2 * 3 + 1).mLeaving, &mBlocks[0]);
}

TEST_F(LineEntriesTest, AttachingToAMovingEntryDoesNothing)
{
    mField.Build(3, 3);
    mField.MakeBlockAt(2, 0, 0, -1, 0, &mTrack, false);
    mField.AttachPieceBlocks(&mBlocks[0]);
    EXPECT_TRUE(mField.MovingBlocks().empty());
    mField.CollectBlocks();
    EXPECT_TRUE(mField.LineEntries().empty());
}
