#include "game/board/play/CBall.h"

#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

using BoardTest::ProcessorFixture;

namespace {

class CBallTest : public ProcessorFixture {
protected:
    // Updates until the ball lands; the number of updates it took.
    int32_t UpdatesToLanding(float dt)
    {
        for (int32_t n = 1; n < 1000; ++n) {
            mBall.Update(dt);
            if (mBall.Has(CBall::kLanded)) {
                mBall.ClearState(CBall::kLanded);
                return n;
            }
        }
        return -1;
    }
};

TEST_F(CBallTest, ReadsEveryBallWithTheShadowsLastFrameAndTheLastRenderable)
{
    CBall ball(mField, mImages, mAnims, mSceneObjects);
    ball.LoadFromXml(Parse(R"(<root>
      <ball hspotx="1" hspoty="2" centerx="3" centery="4" width="5" height="6" speed="1.5" curvespeed="0.5"
            mincurvespeed="0.25" delayspeed="0.125" periodscale="2" curverising="30" p="4" g="0.5"
            g_matched="0.75" p_matched="5">
        <shadow firstframe="res\ballshadow.png|2" framecount="3" hspotx="7" hspoty="8"/>
        <renderable src="ball_anim"/><renderable src="bonus_shadowball_anim"/>
      </ball>
      <ball hspotx="" speed="1"/>
    </root>)"));
    ASSERT_EQ(ball.Definitions().size(), 2u);
    const BallDef& def = ball.Definitions()[0];
    EXPECT_EQ(def.mHotSpotX, 1);
    EXPECT_EQ(def.mHeight, 6);
    EXPECT_FLOAT_EQ(def.mSpeed, 1.5f);
    EXPECT_FLOAT_EQ(def.mPMatched, 5.0f);
    EXPECT_EQ(def.mShadowLastOffset, 2);
    EXPECT_EQ(def.mShadowHotSpotY, 8);
    int32_t renderable = -2;
    mSceneObjects.FindDefinition("bonus_shadowball_anim", &renderable);
    EXPECT_EQ(def.mRenderable, renderable);
    int32_t shadow = -2;
    mImages.FindByName("res\\ballshadow.png|2", &shadow);
    EXPECT_GE(shadow, 0);
    EXPECT_EQ(def.mShadowFirstFrame, shadow);
    EXPECT_EQ(ball.Definitions()[1].mHotSpotX, 0);
    EXPECT_FALSE(ball.SetBallIndex(2));
}

TEST_F(CBallTest, TimingFollowsTheBounce)
{
    const CBall::Timing& t = mBall.Times();
    EXPECT_FLOAT_EQ(t.mPeriod, 40.0f);
    EXPECT_FLOAT_EQ(t.mRise, 20.0f);
    EXPECT_FLOAT_EQ(t.mSettle, 60.0f);
    EXPECT_FLOAT_EQ(t.mFlight, 40.0f);
    EXPECT_FLOAT_EQ(t.mSlowestFlight, 80.0f);
    EXPECT_FLOAT_EQ(t.mApex, 40.0f);
    EXPECT_TRUE(LogHas("Ball bouncing period: 40.000, ball curve flight period: 40.000, timepump: 60.000 "
                       "norm=20.000  max=40.000"));
}

TEST_F(CBallTest, BouncesOnePeriodFromLandingToLandingAtAnyFrameRate)
{
    mBall.PlaceOnCell(1, 1);
    mBall.SetState(CBall::kBouncing | CBall::kRising);
    EXPECT_FLOAT_EQ(mBall.Velocity()[2], 4.0f);
    for (int32_t n = 0; n < 20; ++n)
        mBall.Update(1.0f);
    EXPECT_TRUE(mBall.Has(CBall::kFalling));
    EXPECT_FALSE(mBall.Has(CBall::kRising));
    UpdatesToLanding(1.0f);
    EXPECT_TRUE(mBall.Has(CBall::kRising) && mBall.Has(CBall::kBouncing));
    const int32_t period = UpdatesToLanding(1.0f);
    EXPECT_NEAR(period, mBall.Times().mPeriod, 1.0f);
    // Twice the frames at half the step take the same time.
    EXPECT_EQ(UpdatesToLanding(0.5f), 2 * period);
    EXPECT_EQ(UpdatesToLanding(1.0f), period);
}

// The shadow shrinks while the ball rises and grows while it falls, a frame
// at a time, also in the updates in which the bounce turns.
TEST_F(CBallTest, TheShadowChangesAFrameAtATimeThroughEveryTurnOfTheBounce)
{
    mBall.PlaceOnCell(1, 1);
    mBall.SetState(CBall::kBouncing | CBall::kRising);
    int32_t previous = mBall.Frame();
    for (int32_t n = 0; n < 200; ++n) {
        mBall.Update(1.0f);
        mBall.ClearState(CBall::kLanded);
        ASSERT_LE(std::abs(mBall.Frame() - previous), 1) << n;
        previous = mBall.Frame();
    }
}

TEST_F(CBallTest, RisingWhileNotBouncingOnlySetsTheUpwardSpeed)
{
    mBall.SetState(CBall::kRising);
    EXPECT_FLOAT_EQ(mBall.Velocity()[2], 4.0f);
    const auto before = mBall.Position();
    mBall.Update(1.0f);
    EXPECT_EQ(mBall.Position(), before);
}

TEST_F(CBallTest, AFlightLandsOnTheCellCentreAndRests)
{
    mBall.PlaceOnCell(0, 0);
    mBall.SetState(CBall::kBouncing | CBall::kRising);
    mBall.FlyTo(2, 3, 0.25f, false);
    EXPECT_FALSE(mBall.Has(CBall::kBouncing));
    mBall.Update(2.0f);
    EXPECT_TRUE(mBall.Has(CBall::kFlying));
    EXPECT_GT(mBall.Position()[2], 0.0f);
    mBall.Update(2.0f);
    EXPECT_EQ(mBall.State() & (CBall::kFlying | CBall::kLanded | CBall::kResting), CBall::kLanded | CBall::kResting);
    EXPECT_FLOAT_EQ(mBall.Position()[0], 2.5f * mField.StepX());
    EXPECT_FLOAT_EQ(mBall.Position()[1], 3.5f * mField.StepY());
    EXPECT_FLOAT_EQ(mBall.Position()[2], 0.0f);
    mBall.Update(1.0f);
    EXPECT_FLOAT_EQ(mBall.Position()[0], 2.5f * mField.StepX());
}

TEST_F(CBallTest, ARaisedFlightPeaksEarlierAndHigherByTheCurveRising)
{
    mBall.PlaceOnCell(0, 0);
    mBall.FlyTo(0, 3, 0.125f, true);
    float peak = 0.0f;
    int32_t peakAt = 0;
    for (int32_t n = 1; n < 8; ++n) {
        mBall.Update(1.0f);
        if (mBall.Position()[2] > peak) {
            peak = mBall.Position()[2];
            peakAt = n;
        }
    }
    EXPECT_GT(peak, 39.0f);
    EXPECT_LE(peakAt, 4);
}

} // namespace

namespace {

TEST_F(CBallTest, DrawsTheShadowOnTheGroundAndTheBallAboveItTintedByItsTracks)
{
    App().AddImage("res\\ball.png", 96, 24);
    App().AddImage("res\\ballshadow.png", 96, 12);
    for (const char* name : {"res\\ball.png|1", "res\\ballshadow.png|1"}) {
        int32_t slot = -1;
        ASSERT_TRUE(mImages.FindByName(name, &slot));
        mImages.FetchSlotImage(slot);
    }
    mBall.PlaceOnCell(1, 1);
    mBall.SetPosition(mBall.Position()[0], mBall.Position()[1], 10.0f);
    GameTest::RecordingGraphics g;
    mBall.Draw(g.mGraphics, 400, 300);
    ASSERT_EQ(g.Ops().size(), 2u);
    EXPECT_GT(g.Ops()[0].mY, g.Ops()[1].mY);
    EXPECT_EQ(g.Ops()[0].mX, mBall.ScreenX() + 400);

    mBall.SetHazardTrack(mProcessor.HazardTrack(CGameProcessor::kHazardBall));
    GameTest::RecordingGraphics hazard;
    mBall.Draw(hazard.mGraphics, 400, 300);
    EXPECT_EQ(hazard.Ops().size(), 3u);

    mBall.SetRandomizeHold(true);
    GameTest::RecordingGraphics hidden;
    mBall.Draw(hidden.mGraphics, 400, 300);
    EXPECT_TRUE(hidden.Ops().empty());
}

} // namespace
