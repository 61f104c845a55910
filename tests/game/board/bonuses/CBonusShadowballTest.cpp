#include "game/board/bonuses/CBonusDrawLink.h"
#include "game/board/bonuses/CBonusShadowball.h"
#include "game/board/bonuses/CBonusShell.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/bonuses/BonusFixture.h"

#include <gtest/gtest.h>

namespace BoardTest {
namespace {

class CBonusShadowballTest : public BonusFixture {
protected:
    CBonusShadowballTest()
    {
        CBonusBase::ShadowBall& s = mBase.mShadowBall;
        s.mHideSpeed = 0.1f;
        s.mActionSpeed = 0.05f;
        s.mFadeToBlackSpeed1 = 0.25f;
        s.mFadeToBlackSpeed2 = 0.5f;
        mShadow.Init();
        TakeBaseline();
    }

    CBonusShadowball mShadow{mProcessor, mField, mBase, mTracks, mBonuses};
};

TEST_F(CBonusShadowballTest, ThreePassesAtHideActionAndHideSpeedThenPlayAgain)
{
    mShadow.Activate(0);
    EXPECT_EQ(mField.BlockDisplayMode(), 2);
    EXPECT_EQ(mBase.mMode, 2);
    std::vector<float> passSpeeds{mShadow.PassTimer()->mSpeed};
    std::vector<float> turnSpeeds{mShadow.TurnTimer()->mSpeed};
    int32_t pass = 0;
    int32_t forward = 0;
    int32_t turns = 0;
    for (int32_t frame = 0; frame < 2000 && mShadow.Running(); ++frame) {
        mProcessor.DispatchFinished(1.0f);
        const int32_t taken = mShadow.TakeTurn();
        turns += taken;
        if (mShadow.PassCount() < 2)
            forward += taken;
        if (mShadow.PassCount() != pass && mShadow.Running()) {
            pass = mShadow.PassCount();
            passSpeeds.push_back(mShadow.PassTimer()->mSpeed);
            turnSpeeds.push_back(mShadow.TurnTimer()->mSpeed);
        }
    }
    EXPECT_FALSE(mShadow.Running());
    EXPECT_EQ(passSpeeds, (std::vector<float>{0.1f, 0.05f, 0.1f}));
    EXPECT_EQ(turnSpeeds, (std::vector<float>{0.25f, 0.5f, 0.25f}));
    // About 2 turns in the first pass and 10 in the second, then about 2 back.
    EXPECT_GE(forward, 11);
    EXPECT_LE(forward, 13);
    EXPECT_GE(forward - turns, 2);
    EXPECT_LE(forward - turns, 3);
    EXPECT_EQ(mField.BlockDisplayMode(), 0);
    EXPECT_EQ(SlotsOfKind(kProcessShadowBall), 0);
    EXPECT_TRUE(RunUntilIdle());
}

TEST_F(CBonusShadowballTest, ALongStepCountsEveryTurnAndARestartKeepsOneProcess)
{
    mShadow.Activate(0);
    // 0.25 x 13.2 = 3.3: the player ends the timer's one run and reports
    // 1.3 over it: that whole turn counts too, and 0.3 carries on.
    mProcessor.DispatchFinished(13.2f);
    EXPECT_EQ(mShadow.TakeTurn(), 2);
    EXPECT_NEAR(mShadow.TurnTimer()->mTime, 0.3f, 0.01f);
    EXPECT_EQ(mShadow.TakeTurn(), 0);

    mShadow.Activate(0);
    EXPECT_EQ(SlotsOfKind(kProcessShadowBall), 1);
    EXPECT_EQ(mShadow.PassCount(), 0);
    EXPECT_FLOAT_EQ(mShadow.PassTimer()->mTime, 0.0f);
    mShadow.Finish();
    EXPECT_EQ(SlotsOfKind(kProcessShadowBall), 0);
    EXPECT_EQ(mField.BlockDisplayMode(), 0);
    EXPECT_TRUE(RunUntilIdle());
    EXPECT_EQ(TracksTaken(), 0);
}

// The field's drawing reads the light levels at the ball's height over its
// apex, and each counted turn once.
TEST_F(CBonusShadowballTest, TheDrawLinkLightsByTheBallsHeightAndHandsEachTurnOverOnce)
{
    CBonusShell shell{mProcessor, mField, mBase, mTracks, mAnims, mBonuses};
    CBonusDrawLink link{mBonuses, mShadow, shell, mBase, mBall};
    CBonusBase::ShadowBall& s = mBase.mShadowBall;
    s.mStart = {0.2f, 0.0f, 0.5f};
    s.mEnd = {0.6f, 0.5f, 1.0f};
    s.mReciprocal = {2.5f, 2.0f, 2.0f};
    const float apex = mBall.Times().mApex;
    ASSERT_GT(apex, 0.0f);
    struct Case {
        float height;
        std::array<int32_t, 3> levels;
    };
    for (const Case& c : {Case{0.0f, {255, 255, 255}}, Case{0.35f, {160, 77, 255}}, Case{0.83f, {0, 0, 87}}}) {
        mBall.SetPosition(0.0f, 0.0f, c.height * apex);
        std::array<int32_t, 3> levels{};
        link.ShadowLevels(&levels[0], &levels[1], &levels[2]);
        EXPECT_EQ(levels, c.levels) << c.height;
    }

    mShadow.Activate(0);
    mProcessor.DispatchFinished(13.2f);
    EXPECT_EQ(link.ShadowPassCount(), mShadow.PassCount());
    EXPECT_EQ(link.TakeShadowTurn(), 2);
    EXPECT_EQ(mShadow.TakeTurn(), 0);
    mShadow.Finish();
    EXPECT_TRUE(RunUntilIdle());
}

} // namespace
} // namespace BoardTest
