#include "game/board/levels/CCrazyLevel.h"

#include "game/board/field/CFieldBlock.h"
#include "game/board/levels/CCrazyDisplay.h"
#include "game/board/levels/CCrazyTurns.h"
#include "game/board/levels/CLevelController.h"
#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/levels/LevelFlowFixture.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using BoardTest::ProcessorFixture;

namespace {

struct RecordingDisplay : CCrazyDisplay {
    void SetCrazyPercent(int32_t percent) override { mPercent = percent; }
    void SetCrazyIndicator(const CSceneObj* indicator, bool shown) override
    {
        mIndicator = indicator;
        mShown = shown;
        ++mIndicatorCalls;
    }
    int32_t mPercent = -1;
    const CSceneObj* mIndicator = nullptr;
    bool mShown = false;
    int32_t mIndicatorCalls = 0;
};

// A crazy level on the processor: the rules of its turns over a level
// controller, the spin and pulse as the processor's processes.
class CCrazyLevelTest : public ProcessorFixture {
protected:
    CCrazyLevelTest()
    {
        mSaved = CGameConfig::live;
        CGameConfig::live.crazyRandcolor = 0;
        mCrazy.Init();
    }
    ~CCrazyLevelTest() override
    {
        mCrazy.Shutdown();
        CGameConfig::live = mSaved;
    }

    // The field of the picture with colours 0 to colours - 1, the ball held on it.
    void Level(const std::vector<std::string>& rows, int32_t colours)
    {
        Fill(rows);
        mField.Grid().SetColourCount(colours);
        mField.Grid().CountColours();
        mColours = colours;
        mBall.PlaceOnCell(0, 0);
        mBall.ClearState(~0u);
        mBall.SetState(CBall::kFrozen | CBall::kHeld);
        mTracksBefore = mTracks.Running().Used();
        mInstancesBefore = mAnims.Instances().Used();
    }
    // The level's turn; its indicator, which blinks for the whole level, is
    // kept still and counts with what was there before, so that what is left
    // after the blocks' own animations shows.
    void NewTurn()
    {
        mCrazy.NewTurn(mColours);
        if (CAnimTrack* blink = mCrazy.Indicator().mMoveTrack; blink && blink->mAttached)
            mProcessor.StopProcess(blink);
        mTracksBefore = mTracks.Running().Used();
        mInstancesBefore = mAnims.Instances().Used();
    }
    int32_t ColourAt(int32_t cell) const { return CCellGrid::ColourOf(mField.Grid().Cell(cell)); }
    std::vector<uint32_t> Words() const
    {
        std::vector<uint32_t> words;
        for (int32_t cell = 0; cell < mField.CellCount(); ++cell)
            words.push_back(mField.Grid().Cell(cell));
        return words;
    }
    // Frames until the turns reach the phase; false after a limit.
    bool RunUntilPhase(int32_t phase)
    {
        for (int32_t n = 0; n < 5000 && mTurns.Phase() != phase; ++n)
            mProcessor.DispatchFinished(1.0f);
        return mTurns.Phase() == phase;
    }
    int32_t CrazyProcesses() const
    {
        int32_t count = 0;
        for (const ProcessSlot& slot : mProcessor.Slots())
            count += slot.mKind == kProcessCrazyLevel;
        return count;
    }
    void ExpectNothingLeft(const std::string& context)
    {
        EXPECT_EQ(CrazyProcesses(), 0) << context;
        EXPECT_EQ(mTracks.Running().Used(), mTracksBefore) << context;
        EXPECT_EQ(mAnims.Instances().Used(), mInstancesBefore) << context;
        for (int32_t cell = 0; cell < mField.CellCount(); ++cell) {
            const CFieldBlock* block = mField.Record(cell).mBlock;
            EXPECT_EQ(block->mColourAnim, nullptr) << context << " cell " << cell;
            EXPECT_EQ(block->mMotionTrack, nullptr) << context << " cell " << cell;
            EXPECT_EQ(block->mSpinFlag, 0) << context << " cell " << cell;
            EXPECT_EQ(block->mColour, ColourAt(cell)) << context << " cell " << cell;
        }
    }

    CGameConfig::Values mSaved;
    CPieceBase mPieces{mImages};
    CLevelGraphs mGraphs;
    CUserProfiles mProfiles;
    CHiscoreTable mHiscores;
    BoardTest::RecordingLevelHost mLevelHost;
    BoardTest::RecordingWindows mWindows;
    CLevelController mController{
        {mField.Grid(), mPieces, mGraphs, mProfiles, mHiscores, mLevelHost, mWindows, 4}};
    CCrazyTurns mTurns{mField.Grid(), mController, mLevelHost};
    RecordingDisplay mDisplay;
    CCrazyLevel mCrazy{{&mProcessor, &mField, &mBall, &mTracks, &mAnims, &mSceneObjects, &mTurns, &mDisplay}};
    size_t mTracksBefore = 0;
    size_t mInstancesBefore = 0;
    int32_t mColours = 0;
};

TEST_F(CCrazyLevelTest, BlocksWaitSpinAndSettleThenEachLandingTurnsItsBlockWithAPulse)
{
    Level({"0123", "3213"}, 4);
    NewTurn();
    EXPECT_EQ(mTurns.CrazyColour(), 3);
    EXPECT_EQ(mCrazy.BlocksToSpin(), 5);
    EXPECT_EQ(mCrazy.BlocksToTurn(), 5);
    EXPECT_EQ(mDisplay.mIndicator, &mCrazy.Indicator());
    for (int32_t cell : {0, 1, 2, 5, 6}) {
        const CFieldBlock& block = *mField.Record(cell).mBlock;
        EXPECT_EQ(block.mSpinFlag, 255) << cell;
        EXPECT_EQ(block.mColour, 0) << cell;
        EXPECT_TRUE(block.mSpinCount >= 1 && block.mSpinCount <= 3) << cell;
    }
    EXPECT_EQ(mField.Record(3).mBlock->mSpinFlag, 0);

    mCrazy.PhaseAnim();
    EXPECT_EQ(mDisplay.mPercent, 100);
    EXPECT_EQ(mProcessor.Slot(mCrazy.PhaseTrack()->mOwnerTag).mKind, kProcessCrazyLevel);
    ASSERT_TRUE(RunUntilPhase(CCrazyTurns::kSpinning));
    EXPECT_EQ(CrazyProcesses(), 6);
    EXPECT_NE(mField.Record(0).mBlock->mColourAnim, nullptr);
    // Landings during the spin change nothing.
    const std::vector<uint32_t> before = Words();
    mCrazy.PhaseStep(0);
    EXPECT_EQ(Words(), before);

    ASSERT_TRUE(RunUntilPhase(CCrazyTurns::kSpinDone));
    EXPECT_EQ(mCrazy.BlocksToSpin(), 0);
    EXPECT_FALSE(mBall.Has(CBall::kFrozen | CBall::kHeld));
    EXPECT_TRUE(mBall.Has(CBall::kBouncing));
    for (int32_t cell : {0, 1, 2, 5, 6})
        EXPECT_LT(ColourAt(cell), 3) << cell;
    EXPECT_EQ(mDisplay.mPercent, 3 * 100 / 8);
    ExpectNothingLeft("spin done");

    // Cell 3 shows K: a landing takes it away; with no random colours it wraps to 0.
    mCrazy.PhaseStep(3);
    EXPECT_EQ(ColourAt(3), 0);
    EXPECT_EQ(mCrazy.BlocksToTurn(), 6);
    CAnimTrack* pulse = mCrazy.PhaseTrack();
    EXPECT_EQ(mField.Record(3).mBlock->mMotionTrack, pulse);
    EXPECT_EQ(mField.Record(3).mBlock->mColour, 0);
    // A landing while the pulse runs cuts it short and pulses the new block.
    mCrazy.PhaseStep(7);
    EXPECT_EQ(mField.Record(3).mBlock->mMotionTrack, nullptr);
    EXPECT_EQ(mField.Record(7).mBlock->mMotionTrack, pulse);
    EXPECT_EQ(ColourAt(7), 0);
    EXPECT_EQ(CrazyProcesses(), 1);
    EXPECT_EQ(mDisplay.mPercent, 1 * 100 / 8);
    ASSERT_TRUE(RunUntilIdle());
    ExpectNothingLeft("pulse done");
}

// A level begun on a field whose blocks are still leaving it, a superbonus's
// group rising when the last level ended, spins what is left and counts the
// blocks to turn from it.
TEST_F(CCrazyLevelTest, BlocksThatLeaveBeforeTheSpinNeitherHoldItNorCountAsToTurn)
{
    struct Case {
        std::vector<int32_t> leaving;
        int32_t toTurn;
    };
    // Cells 0, 1, 2, 5 and 6 spin; 3, 4 and 7 show the crazy colour.
    for (const Case& c : {Case{{0, 1, 2, 5}, 1}, Case{{6, 7}, 4}, Case{{0, 1, 2, 5, 6}, 0}}) {
        const std::string context = "leaving from cell " + std::to_string(c.leaving.front());
        Level({"0123", "3213"}, 4);
        NewTurn();
        for (const int32_t cell : c.leaving) {
            mField.RemoveBlock(mField.Record(cell).mBlock);
            mField.Record(cell).mBlock = nullptr;
            mField.Grid().EmptyCell(cell);
        }
        mCrazy.PhaseAnim();
        ASSERT_TRUE(RunUntilPhase(CCrazyTurns::kSpinDone)) << context;
        EXPECT_EQ(mCrazy.BlocksToSpin(), 0) << context;
        EXPECT_EQ(mCrazy.BlocksToTurn(), c.toTurn) << context;
        EXPECT_TRUE(mBall.Has(CBall::kBouncing)) << context;
        EXPECT_FALSE(mBall.Has(CBall::kFrozen | CBall::kHeld)) << context;
        ASSERT_TRUE(RunUntilIdle()) << context;
        EXPECT_EQ(CrazyProcesses(), 0) << context;
        EXPECT_EQ(mAnims.Instances().Used(), mInstancesBefore) << context;
    }
}

TEST_F(CCrazyLevelTest, EveryCrazyColourBlinksItsIndicatorUntilShutdown)
{
    Level({"0124", "4444"}, 5);
    const size_t tracks = mTracks.Running().Used();
    mCrazy.NewTurn(mColours);
    ASSERT_NE(mCrazy.Indicator().mMoveTrack, nullptr);
    EXPECT_EQ(mDisplay.mIndicator, &mCrazy.Indicator());
    EXPECT_TRUE(mDisplay.mShown);
    CAnimTrack* blink = mCrazy.Indicator().mMoveTrack;
    EXPECT_FLOAT_EQ(blink->mSpeed, CGameConfig::live.crazyHudcolorStatic);
    std::vector<bool> shown;
    for (int32_t n = 0; n < 400 && shown.size() < 3; ++n) {
        const int32_t calls = mDisplay.mIndicatorCalls;
        mProcessor.DispatchFinished(1.0f);
        if (mDisplay.mIndicatorCalls != calls)
            shown.push_back(mDisplay.mShown);
    }
    EXPECT_EQ(shown, (std::vector<bool>{false, true, false}));
    EXPECT_FLOAT_EQ(blink->mSpeed, CGameConfig::live.crazyHudcolorStatic);

    // Stopping ends the blinking; a level of the first four colours shows its colour too.
    mCrazy.Stop();
    EXPECT_EQ(CrazyProcesses(), 0);
    for (const int32_t colours : {4, 2}) {
        Level({"0123", "3333"}, colours);
        mCrazy.NewTurn(mColours);
        ASSERT_NE(mCrazy.Indicator().mMoveTrack, nullptr) << colours;
        EXPECT_EQ(mDisplay.mIndicator, &mCrazy.Indicator()) << colours;
        EXPECT_TRUE(mDisplay.mShown) << colours;
    }
    mCrazy.Shutdown();
    EXPECT_EQ(mDisplay.mIndicator, nullptr);
    EXPECT_EQ(mTracks.Running().Used(), tracks - 1);
}

TEST_F(CCrazyLevelTest, TheProcessorsWaitForSettlingStopsASpinAndTheBlocksKeepTheirColours)
{
    Level({"0121", "2103"}, 4);
    const std::vector<int32_t> colours{0, 1, 2, 1, 2, 1, 0, 3};
    NewTurn();
    mCrazy.PhaseAnim();
    ASSERT_TRUE(RunUntilPhase(CCrazyTurns::kSpinning));
    mProcessor.DispatchFinished(1.0f);
    ASSERT_GT(mCrazy.BlocksToSpin(), 0);

    // A failed level: the state's delay stops the spin before the state is handled.
    mProcessor.SetState(1);
    for (int32_t n = 0; n < 200 && mLevel.Count("state") == 0; ++n)
        mProcessor.DispatchFinished(1.0f);
    EXPECT_EQ(mLevel.Count("state"), 1);
    for (int32_t cell = 0; cell < 8; ++cell)
        EXPECT_EQ(ColourAt(cell), colours[size_t(cell)]) << cell;
    EXPECT_EQ(mCrazy.BlocksToSpin(), 0);
    ExpectNothingLeft("stopped by the state's delay");
}

} // namespace
