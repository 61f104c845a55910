#include "game/board/bonuses/CBonusShell.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>

namespace BoardTest {
namespace {

class CBonusShellTest : public BonusFixture {
protected:
    CBonusShellTest()
    {
        mBase.mShell.mActionSpeed = 0.01f;
        mShell.Init();
        TakeBaseline();
    }
    CFieldBlock& Block(int32_t cell) { return *mField.Record(cell).mBlock; }

    CBonusShell mShell{mProcessor, mField, mBase, mTracks, mAnims, mBonuses};
};

// Dark, acting, light again, even when no block opened; a second shell while
// one runs restarts the darkening in the same process.
TEST_F(CBonusShellTest, RunsItsThreePhasesAndEndsInPlay)
{
    mShell.Activate(CBonusShell::kFadeToBlack);
    EXPECT_TRUE(mShell.Active());
    EXPECT_EQ(mField.BlockDisplayMode(), 3);
    Frames(5);
    mShell.Activate(CBonusShell::kFadeToBlack);
    EXPECT_EQ(SlotsOfKind(kProcessShell), 1);
    std::vector<int32_t> phases{mShell.Phase()};
    for (int32_t frame = 0; frame < 5000 && mShell.Active(); ++frame) {
        mProcessor.DispatchFinished(1.0f);
        if (mShell.Active() && mShell.Phase() != phases.back()) {
            phases.push_back(mShell.Phase());
            if (mShell.Phase() == CBonusShell::kActing) {
                EXPECT_EQ(Block(0).mLightLevel, 255);
            }
        }
    }
    EXPECT_EQ(phases, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_FALSE(mShell.Active());
    EXPECT_EQ(mField.BlockDisplayMode(), 0);
    EXPECT_TRUE(RunUntilIdle());
}

TEST_F(CBonusShellTest, LandingsOpenEachLitBlockOnce)
{
    mShell.Activate(CBonusShell::kFadeToBlack);
    mShell.Activate(CBonusShell::kActing);
    mBonuses.ShellLanding(Block(3));
    EXPECT_EQ(Block(3).mShellState, CBonusShell::kOpening);
    EXPECT_NE(Block(3).mColourAnim, nullptr);
    EXPECT_EQ(SlotsOfKind(kProcessShellFrame), 1);
    mBonuses.ShellLanding(Block(3));
    EXPECT_EQ(SlotsOfKind(kProcessShellFrame), 1);
    for (int32_t frame = 0; frame < 2000 && Block(3).mShellState != CBonusShell::kDone; ++frame)
        mProcessor.DispatchFinished(1.0f);
    EXPECT_EQ(Block(3).mShellState, CBonusShell::kDone);
    EXPECT_EQ(Block(3).mLightLevel, 0);
    EXPECT_EQ(Block(3).mColourAnim, nullptr);
    EXPECT_EQ(Block(3).mOwnAnim, nullptr);
    EXPECT_EQ(mShell.OpenedCount(), 1);
    mBonuses.ShellLanding(Block(3));
    EXPECT_EQ(SlotsOfKind(kProcessShellFrame), 0);
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(TracksTaken(), 0);
}

// While the shell acts, a landing without a score on a lit block bumps it
// with the field's second block animation, where other landings take the first.
TEST_F(CBonusShellTest, AnUnscoredLandingBumpsALitBlockWithTheSecondBlockAnimation)
{
    mShell.Activate(CBonusShell::kFadeToBlack);
    mShell.Activate(CBonusShell::kActing);
    mProcessor.OnBallLanded(&Block(3), false);
    ASSERT_NE(Block(3).mMotionTrack, nullptr);
    const float second = mTracks.Definition(mField.SpinTrack())->mSpeed;
    EXPECT_NE(second, mTracks.Definition(mField.SpringTrack())->mSpeed);
    EXPECT_FLOAT_EQ(Block(3).mMotionTrack->mSpeed, second);
    EXPECT_EQ(Block(3).mShellState, CBonusShell::kOpening);
}

} // namespace
} // namespace BoardTest
