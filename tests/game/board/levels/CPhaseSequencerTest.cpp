#include "game/board/levels/CPhaseSequencer.h"

#include "game/board/field/CFieldBlock.h"
#include "game/board/levels/PhaseGeometry.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using BoardTest::ProcessorFixture;

namespace {

class CPhaseSequencerTest : public ProcessorFixture {
protected:
    CPhaseSequencerTest()
    {
        mSequencer.CreateTracks();
        mField.Effects().mBorderMotionTrack = nullptr;
        mField.Effects().mBorderColourTrack = nullptr;
    }
    ~CPhaseSequencerTest() override { mSequencer.ReleaseTracks(); }

    // A field of the picture with a block in every marked cell and the ball on (column, row).
    void Board(const std::vector<std::string>& rows, int32_t column, int32_t row)
    {
        Fill(rows);
        mBall.PlaceOnCell(column, row);
        mTracksBefore = mTracks.Running().Used();
        mInstancesBefore = mAnims.Instances().Used();
    }
    void Start(int32_t sequence)
    {
        if (sequence == CPhaseSequencer::kGameOver)
            mSequencer.StartFinalOutro();
        else if (sequence >= 6)
            mSequencer.StartOutro(sequence);
        else
            mSequencer.StartIntro(sequence);
    }
    // Frames (with the ball carried along) until the sequence ends; false after a limit.
    bool RunToEnd()
    {
        for (int32_t n = 0; n < 20000 && mSequencer.Running(); ++n) {
            mProcessor.DispatchFinished(1.0f);
            mBall.Update(1.0f);
            EXPECT_GE(mSequencer.PendingMotions(), 0);
        }
        return !mSequencer.Running();
    }
    bool AnyBlockAnimated() const
    {
        for (int32_t cell = 0; cell < mField.CellCount(); ++cell)
            if (const CFieldBlock* block = mField.Record(cell).mBlock)
                if (block->mColourAnim || block->mHighlightTrack || block->mMotionTrack)
                    return true;
        return false;
    }
    int32_t PopupsInUse()
    {
        int32_t used = 0;
        for (int32_t i = 0; i < mField.PopupCount(); ++i)
            used += mField.Popup(i).mType != PopupRecord::kFree;
        return used;
    }
    // Nothing of the sequence is left running or held.
    void ExpectNothingLeft(const std::string& context)
    {
        EXPECT_EQ(mProcessor.LiveProcesses(), 1) << context;
        EXPECT_EQ(mTracks.Running().Used(), mTracksBefore) << context;
        EXPECT_EQ(mAnims.Instances().Used(), mInstancesBefore) << context;
        EXPECT_EQ(PopupsInUse(), 0) << context;
        EXPECT_EQ(mField.Effects().mShakeTrack, nullptr) << context;
        EXPECT_EQ(mSequencer.Emitter().mListIndex, -2) << context;
    }

    CPhaseSequencer mSequencer{
        {&App(), &mProcessor, &mField, &mBall, &mTracks, &mAnims, &mImages, &mLevel, nullptr}};
    size_t mTracksBefore = 0;
    size_t mInstancesBefore = 0;
};

TEST_F(CPhaseSequencerTest, EverySequenceRunsToItsEndAndHandsTheStateBack)
{
    const std::vector<std::string> rows{"0123", "1230", "2301"};
    for (int32_t sequence : {1, 2, 3, 6, 7, 8}) {
        const std::string context = "sequence " + std::to_string(sequence);
        Board(rows, 1, 2);
        mLevel.mCalls.clear();
        Start(sequence);
        EXPECT_EQ(mSequencer.Sequence(), sequence);
        EXPECT_EQ(mSequencer.PendingMotions(), 12) << context;
        const bool intro = sequence <= 3;
        // An intro keeps the ball out of sight until its slide begins.
        EXPECT_EQ(mBall.Hidden(), intro) << context;
        ASSERT_TRUE(RunToEnd()) << context;

        EXPECT_EQ(mLevel.Count("state"), 1) << context;
        EXPECT_EQ(mSequencer.PendingMotions(), 0) << context;
        if (sequence % 5 == 3) {
            EXPECT_EQ(mSequencer.DiagonalsDone(), DiagonalCount(4, 3)) << context;
        }
        EXPECT_EQ(mBall.Hidden(), !intro) << context;
        EXPECT_FALSE(mBall.Has(CBall::kCarried)) << context;
        EXPECT_TRUE(mBall.Has(CBall::kFrozen | CBall::kHeld)) << context;
        const CFieldBlock* under = mField.Record(2 * 4 + 1).mBlock;
        if (intro) {
            // Back on its cell, the block beneath it bumped, the border at rest.
            EXPECT_FLOAT_EQ(mBall.Position()[2], 0.0f) << context;
            EXPECT_NE(under->mMotionTrack, nullptr) << context;
            EXPECT_EQ(mField.Effects().mBorderMotionTrack, nullptr) << context;
            EXPECT_EQ(mField.Effects().mBorderColourTrack, nullptr) << context;
        } else {
            EXPECT_GT(mBall.Position()[2], 100.0f) << context;
        }
        ASSERT_TRUE(RunUntilIdle()) << context;
        EXPECT_FALSE(AnyBlockAnimated()) << context;
        ExpectNothingLeft(context);
        mBall.SetHidden(false);
    }
    // After the outros the border is faded and fallen; an intro fading it in starts from its place.
    mSequencer.StartIntro(2);
    EXPECT_EQ(mField.Effects().mBorderMotionTrack, nullptr);
    EXPECT_NE(mField.Effects().mBorderColourTrack, nullptr);
}

TEST_F(CPhaseSequencerTest, StartingAnotherSequenceStopsTheFirstWithoutItsFollowUps)
{
    Board({"012", "120"}, 0, 0);
    mSequencer.StartIntro(3);
    mProcessor.DispatchFinished(1.0f);
    EXPECT_LT(mSequencer.DiagonalsDone(), DiagonalCount(3, 2));
    mSequencer.StartOutro(6);
    EXPECT_EQ(mSequencer.PendingMotions(), 6);
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(mLevel.Count("state"), 1);
    ASSERT_TRUE(RunUntilIdle());
    ExpectNothingLeft("after the outro");

    // Stopped halfway, a game-over outro leaves no explosion, particle or track behind.
    Board({"012", "120"}, 0, 0);
    mSequencer.StartFinalOutro();
    for (int32_t n = 0; n < 22; ++n)
        mProcessor.DispatchFinished(1.0f);
    EXPECT_GT(mSequencer.ExplosionsDone(), 1);
    EXPECT_GT(PopupsInUse(), 1);
    mSequencer.Stop();
    EXPECT_FALSE(mSequencer.Running());
    ExpectNothingLeft("game over stopped");
    EXPECT_EQ(mLevel.Count("state"), 1);

    // A level started again during an intro: the field's blocks went back to the
    // pool and came out fresh before the next sequence stops the first.
    Board({"012", "120"}, 0, 0);
    mSequencer.StartIntro(1);
    Fill({"012", "120"});
    mSequencer.StartIntro(2);
    mSequencer.ReleaseTracks();
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
    EXPECT_EQ(mAnims.Instances().Used(), mInstancesBefore);
    EXPECT_EQ(mTracks.Running().Used(), mTracksBefore - 7);
}

TEST_F(CPhaseSequencerTest, TheGameOverBlowsUpEveryCellOnceOnAnyFieldSize)
{
    struct Case {
        int32_t w;
        int32_t h;
    };
    for (const Case& c : {Case{8, 8}, Case{5, 3}, Case{1, 1}, Case{2, 7}}) {
        const std::string context = std::to_string(c.w) + " x " + std::to_string(c.h);
        std::vector<std::string> rows(size_t(c.h), std::string(size_t(c.w), '1'));
        rows[0][0] = '.';
        Board(rows, 0, 0);
        mLevel.mCalls.clear();
        App().mSoundsPlayed.clear();
        mSequencer.StartFinalOutro();
        EXPECT_NE(mField.Effects().mShakeTrack, nullptr) << context;
        EXPECT_NE(mBall.ColourTrack(), nullptr) << context;
        ASSERT_TRUE(RunToEnd()) << context;

        std::vector<int32_t> cells = mSequencer.ExplodedCells();
        EXPECT_EQ(cells, ExplosionSpiral(c.w, c.h)) << context;
        std::sort(cells.begin(), cells.end());
        std::vector<int32_t> every(size_t(c.w * c.h));
        for (size_t i = 0; i < every.size(); ++i)
            every[i] = int32_t(i);
        EXPECT_EQ(cells, every) << context;
        for (int32_t cell = 0; cell < mField.CellCount(); ++cell) {
            EXPECT_EQ(mField.Record(cell).mBlock, nullptr) << context << " cell " << cell;
            EXPECT_FALSE(CCellGrid::IsOccupied(mField.Grid().Cell(cell))) << context << " cell " << cell;
        }
        EXPECT_EQ(mField.ActiveBlocks(), 0) << context;
        EXPECT_EQ(mLevel.Count("state"), 1) << context;
        EXPECT_TRUE(mBall.Hidden()) << context;
        EXPECT_EQ(mBall.ColourTrack(), nullptr) << context;
        // The interval lets the first explosions sound; later ones come too fast for each to.
        const auto sounds = std::count(App().mSoundsPlayed.begin(), App().mSoundsPlayed.end(), 23);
        if (c.w * c.h > 4) {
            EXPECT_GE(sounds, 1) << context;
            EXPECT_LT(sounds, c.w * c.h) << context;
        }
        ExpectNothingLeft(context);
        mBall.SetHidden(false);
    }
}

} // namespace
