#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/BonusRecord.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/play/CBall.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/screens/play/BoardWidgetFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using BoardTest::BoardWidgetFixture;

namespace {

class CBoardWidgetPlayTest : public BoardWidgetFixture {
protected:
    CBoardWidgetPlayTest() { StartPlay(); }

    CFieldBlock* Block(int32_t column, int32_t row) { return mField.Record(row * mField.Width() + column).mBlock; }
    // Whether the level asked for a call beginning with prefix.
    bool Called(const std::string& prefix) const
    {
        return std::any_of(mLevelHost.mCalls.begin(), mLevelHost.mCalls.end(),
                           [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
    }
};

// The field of StartPlay: (1, 0) is in a group of three 0s, (2, 0) stands alone.
TEST_F(CBoardWidgetPlayTest, ALandingFiresAnArmedBonusOnAnActiveFieldThenScoresThenReacts)
{
    enum Bonus { kNoBonus, kArmed, kComingOn, kEmptyCell };
    struct Case {
        const char* name;
        int32_t column;
        Bonus bonus;
        bool active;
        bool fired;
        const char* levelCall;
        bool scored;
    };
    const Case cases[] = {
        {"group", 1, kNoBonus, true, false, "Group", true},
        {"miss", 2, kNoBonus, true, false, "HazardBall", false},
        {"armed bonus", 2, kArmed, true, true, nullptr, false},
        {"bonus coming on", 2, kComingOn, true, false, "HazardBall", false},
        {"inactive field", 2, kArmed, false, false, nullptr, false},
        // A field step may empty the cell while the ball is in the air.
        {"empty cell", 2, kEmptyCell, true, false, "HazardBall", false},
    };
    mBase.mEnergyAmount = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetBoard();
        mLevelHost.mCalls.clear();
        mLevelHost.mBallColumn = c.column;
        mLevelHost.mBallRow = 0;
        BonusRecord* bonus = nullptr;
        if (c.bonus == kArmed)
            bonus = PlaceVisibleBonus(kBonusEnergy, c.column, 0);
        if (c.bonus == kComingOn) {
            bonus = mBase.TakeRecord(kBonusEnergy);
            bonus->mBlock = Block(c.column, 0);
            mBonuses.AttachBonusToBlock(bonus);
            bonus->mFadeTrack->mSpeed = 0.0f;
        }
        if (c.bonus == kEmptyCell) {
            mField.Grid().Cell(c.column) &= ~CCellGrid::kOccupied;
            mField.RemoveBlock(Block(c.column, 0));
            mField.Record(c.column).mBlock = nullptr;
        }
        const int32_t energy = mEnergy.mEnergy;
        const int32_t turns = mLevels.Progress();

        Click(c.column, 0);
        ASSERT_TRUE(mBall.Has(CBall::kFlying));
        mBoard.SetFieldActive(c.active);
        ASSERT_TRUE(StepUntilLanded());

        EXPECT_EQ(mField.ExcludedColumn(), c.column);
        EXPECT_EQ(mField.ExcludedRow(), 0);
        EXPECT_EQ(mEnergy.mEnergy != energy, c.fired);
        if (bonus != nullptr) {
            EXPECT_EQ(Block(c.column, 0)->mBonus == nullptr, c.fired);
        }
        // The level counts the jump as a turn only on an active field.
        EXPECT_EQ(mLevels.Progress(), turns + (c.active ? 1 : 0));
        for (const char* call : {"Group", "HazardBall"})
            EXPECT_EQ(Called(call), c.levelCall != nullptr && std::string(c.levelCall) == call) << call;
        // The processor hears whether the level took a group: a scoring landing
        // opens the combo window, any other bumps the block.
        EXPECT_EQ(bool(mProcessor.ComboWindow()->mAttached), c.scored);
        if (c.bonus != kEmptyCell) {
            EXPECT_EQ(Block(c.column, 0)->mMotionTrack != nullptr, !c.scored);
        }
        EXPECT_FALSE(mBall.Has(CBall::kLanded | CBall::kResting));
        EXPECT_TRUE(mBall.Has(CBall::kBouncing));
        // The fired bonus's action ends, taking every bonus off the field.
        for (int32_t i = 0; i < 2000 && SlotsOfKind(kProcessBonusFade) > 0; ++i)
            mProcessor.DispatchFinished(1.0f);
        mBonuses.ClearFieldBonuses(false);
        mProcessor.Player().Detach(mProcessor.ComboWindow());
    }
}

// The undo sets the ball down on the first cell, in the group of three 0s,
// and tells the board so: its bounces there take no group and fire no bonus
// until the player's next jump; that jump's landing and the bounces after
// it play as ever.
TEST_F(CBoardWidgetPlayTest, BouncesWhereTheGameSetTheBallDownPlayNoMoveUntilTheNextJump)
{
    mBase.mEnergyAmount = 100;
    for (const bool withBonus : {false, true}) {
        SCOPED_TRACE(withBonus ? "an armed bonus under the ball" : "a group under the ball");
        ResetBoard();
        mLevelHost.mCalls.clear();
        mLevelHost.mBallColumn = 0;
        mLevelHost.mBallRow = 0;
        mBall.PlaceOnCell(0, 0);
        mField.SetExcludedCell(0, 0);
        mBoard.CenterOnField();
        mBoard.BallSetDown();
        mBall.SetState(CBall::kBouncing | CBall::kRising);
        const BonusRecord* bonus = withBonus ? PlaceVisibleBonus(kBonusEnergy, 0, 0) : nullptr;
        const int32_t energy = mEnergy.mEnergy;
        const int32_t turns = mLevels.Progress();

        Steps(3 * int32_t(mBall.Times().mPeriod));
        // The bounces landed: the block under the ball bumped.
        EXPECT_NE(Block(0, 0)->mMotionTrack, nullptr);
        EXPECT_FALSE(Called("Group"));
        EXPECT_EQ(mEnergy.mEnergy, energy);
        EXPECT_EQ(Block(0, 0)->mBonus, bonus);
        EXPECT_EQ(mLevels.Progress(), turns);

        mLevelHost.mBallColumn = 1;
        Click(1, 0);
        ASSERT_TRUE(StepUntilLanded());
        EXPECT_TRUE(Called("Group"));
        mLevelHost.mCalls.clear();
        Steps(int32_t(mBall.Times().mPeriod) + 1);
        EXPECT_TRUE(Called("Group"));
        mBonuses.ClearFieldBonuses(false);
        mProcessor.Player().Detach(mProcessor.ComboWindow());
    }
}

TEST_F(CBoardWidgetPlayTest, AClickWhileBlocksMoveFliesWhenItCanLandThreeUnitsAfterTheSettling)
{
    // The sample ball's flight takes 40 units, its slowest 80.
    ASSERT_FLOAT_EQ(mBall.Times().mFlight, 40.0f);
    ASSERT_FLOAT_EQ(mBall.Times().mSlowestFlight, 80.0f);
    struct Case {
        bool busy;
        float settle;
        bool held;
        bool flies;
        float speed;
    };
    const Case cases[] = {
        {false, 0.0f, false, true, 0.025f},
        {true, 0.0f, false, true, 0.025f},
        {true, 38.0f, false, true, 1.0f / 41.0f},
        {true, 76.5f, false, true, 1.0f / 79.5f},
        {true, 78.0f, false, false, 0.0f},
        {false, 0.0f, true, false, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settle);
        ResetBoard();
        if (c.busy)
            MakeBusy(c.settle);
        if (c.held)
            mBall.SetState(CBall::kHeld);
        Click(4, 4);
        EXPECT_EQ(mBall.Has(CBall::kFlying), c.flies);
        EXPECT_NE(mBoard.ClickPending(), c.flies);
        if (c.flies) {
            EXPECT_FLOAT_EQ(mBall.FlightSpeed(), c.speed);
            EXPECT_EQ(mBoard.TargetColumn(), 4);
        }
        for (int32_t i = 0; i < 3000 && mProcessor.PendingBlockMoves() > 0; ++i)
            mProcessor.DispatchFinished(1.0f);
        ASSERT_EQ(mProcessor.PendingBlockMoves(), 0);
    }
}

TEST_F(CBoardWidgetPlayTest, OfTwoClicksWhileBusyTheSecondFliesOnceTheSettlingAllowsIt)
{
    MakeBusy(80.0f);
    Click(4, 4);
    Click(3, 4);
    EXPECT_FALSE(mBall.Has(CBall::kFlying));
    ASSERT_TRUE(mBoard.ClickPending());
    EXPECT_EQ(mBoard.PendingColumn(), 3);
    // The slowest flight must land more than three units after the settling:
    // the settle time left falls below 77 in the fifth frame, and the ball
    // flies to land at 76 + 3.
    Steps(4);
    EXPECT_FALSE(mBall.Has(CBall::kFlying));
    Steps(1);
    ASSERT_TRUE(mBall.Has(CBall::kFlying));
    EXPECT_FALSE(mBoard.ClickPending());
    EXPECT_EQ(mBoard.TargetColumn(), 3);
    EXPECT_FLOAT_EQ(mBall.FlightSpeed(), 1.0f / 79.0f);
}

TEST_F(CBoardWidgetPlayTest, AClickHeldWhileTheBallIsInTheAirWaitsForItsLanding)
{
    Click(4, 4);
    ASSERT_TRUE(mBall.Has(CBall::kFlying));
    MakeBusy(80.0f);
    Click(3, 4);
    ASSERT_TRUE(mBoard.ClickPending());
    // The settling would allow the click after five frames, but the ball
    // still flies to (4, 4) and lands there first.
    ASSERT_TRUE(StepUntilLanded());
    EXPECT_EQ(mField.ExcludedColumn(), 4);
    EXPECT_EQ(mBoard.TargetColumn(), 4);
    EXPECT_TRUE(mBoard.ClickPending());
    Steps(1);
    EXPECT_TRUE(mBall.Has(CBall::kFlying));
    EXPECT_FALSE(mBoard.ClickPending());
    EXPECT_EQ(mBoard.TargetColumn(), 3);
}

TEST_F(CBoardWidgetPlayTest, ClicksOnTheTargetOnAnInactiveFieldWhileFlyingOrAtRestAreDropped)
{
    // The ball stands on (2, 2).
    Click(2, 2);
    EXPECT_FALSE(mBall.Has(CBall::kFlying));
    EXPECT_FALSE(mBoard.ClickPending());
    // A bonus at work has made the field inactive.
    mBoard.SetFieldActive(false);
    Click(4, 4);
    EXPECT_FALSE(mBall.Has(CBall::kFlying));
    EXPECT_FALSE(mBoard.ClickPending());
    mBoard.SetFieldActive(true);

    Click(4, 4);
    ASSERT_TRUE(mBall.Has(CBall::kFlying));
    Click(0, 4);
    EXPECT_FALSE(mBoard.ClickPending());
    EXPECT_EQ(mBoard.TargetColumn(), 4);

    ASSERT_TRUE(StepUntilLanded());
    MakeBusy(100.0f);
    Click(3, 4);
    ASSERT_TRUE(mBoard.ClickPending());
    // Put to rest, the widget drops the held click and takes no other.
    mBoard.PutToRest();
    EXPECT_FALSE(mBoard.ClickPending());
    Click(3, 4);
    EXPECT_FALSE(mBoard.ClickPending());
    int32_t column = -1;
    int32_t row = -1;
    EXPECT_FALSE(mBoard.PointerCell(&column, &row));
}

TEST_F(CBoardWidgetPlayTest, ThePointerHitsACellOnlyInsideTheField)
{
    int32_t cornerX = 0;
    int32_t cornerY = 0;
    CellPoint(mField, 0, 0, &cornerX, &cornerY);
    const FieldPoint axisX = mField.AxisX();
    const FieldPoint axisY = mField.AxisY();
    const float stepX = mField.StepX();
    const float stepY = mField.StepY();
    struct Case {
        // Offsets from the centre of cell (0, 0) in cells along the field's axes.
        float u;
        float v;
        bool hit;
        int32_t column;
        int32_t row;
    };
    const Case cases[] = {
        {0.0f, 0.0f, true, 0, 0},   {0.4f, 0.4f, true, 0, 0},   {1.0f, 2.0f, true, 1, 2}, {4.0f, 4.0f, true, 4, 4},
        {-0.8f, 0.0f, false, 0, 0}, {0.0f, -0.8f, false, 0, 0}, {5.0f, 0.0f, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.u << ", " << c.v);
        const float du = c.u * stepX;
        const float dv = c.v * stepY;
        mBoard.MouseMove(cornerX + int32_t(du * axisX.mX + dv * axisY.mX),
                         cornerY + int32_t(du * axisX.mY + dv * axisY.mY));
        int32_t column = -1;
        int32_t row = -1;
        ASSERT_EQ(mBoard.PointerCell(&column, &row), c.hit);
        if (c.hit) {
            EXPECT_EQ(column, c.column);
            EXPECT_EQ(row, c.row);
        }
    }
}

TEST_F(CBoardWidgetPlayTest, HoveringABlockStartsItsHoverUnlessInputIsLockedOrTheGameIsPaused)
{
    PointAt(4, 4);
    EXPECT_EQ(Block(4, 4)->mHover.mPhase, 1);
    mFlow.mPaused = true;
    PointAt(3, 4);
    EXPECT_EQ(Block(3, 4)->mHover.mPhase, 0);
    mFlow.mPaused = false;
    mBoard.SetInputLock(true);
    PointAt(3, 4);
    EXPECT_EQ(Block(3, 4)->mHover.mPhase, 0);
}

TEST_F(CBoardWidgetPlayTest, WhilePausedTheBallAndTheProcessorStandButTheWindowTracksRun)
{
    Click(4, 4);
    ASSERT_TRUE(mBall.Has(CBall::kFlying));
    mFlow.mPaused = true;
    CAnimTrack* gui = nullptr;
    mTracks.StartTimer(gui, 0.0f, 0.5f, 1, true, &mGui.Player());
    mGui.StartTrack(gui, 8, 0, 0);
    const float t = mBall.FlightTime();
    Steps(3);
    EXPECT_FLOAT_EQ(mBall.FlightTime(), t);
    EXPECT_EQ(mSpy.mCalls, std::vector<std::string>{"action 8"});
    mFlow.mPaused = false;
    Steps(1);
    EXPECT_GT(mBall.FlightTime(), t);
    mGui.StopTrack(gui);
    mTracks.FreeInstance(gui);
}

} // namespace
