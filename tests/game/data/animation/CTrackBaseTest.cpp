#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CCurveBase.h"
#include "game/data/animation/CTrackBase.h"

#include "tests/game/support/GameFixture.h"

namespace {

class CTrackBaseTest : public GameTest::GameFixture {
protected:
    void Load(const char* xml)
    {
        TiXmlDocument document;
        document.Parse(xml);
        mTracks.LoadFromXml(document.RootElement(), mCurves);
    }

    CCurveBase mCurves;
    CTrackBase mTracks;
};

TEST_F(CTrackBaseTest, LoadsDefinitionsByTagAndKeepsTheFirstOfAName)
{
    Load("<root>"
         "<fade speed=\"0.25\" repeat=\"3\" dorestart=\"1x\" doturnback=\"0\"><x src=\"0 1\"/><y src=\"2 3\"/></fade>"
         "<wait speed=\"0.5\"/>"
         "<fade speed=\"9\"/>"
         "</root>");
    int32_t fade = -1, wait = -1, missing = 77;
    ASSERT_TRUE(mTracks.FindTrack("fade", &fade));
    ASSERT_TRUE(mTracks.FindTrack("wait", &wait));
    EXPECT_FALSE(mTracks.FindTrack("none", &missing));
    EXPECT_EQ(missing, 77);

    const CAnimTrack* definition = mTracks.Definition(fade);
    EXPECT_EQ(definition->mSpeed, 0.25f);
    EXPECT_EQ(definition->mRepeatCount, 3);
    EXPECT_TRUE(definition->mRestart);
    EXPECT_FALSE(definition->mTurnBack);
    ASSERT_NE(definition->mCurve, nullptr);
    EXPECT_EQ(definition->mCurve, mCurves.FindCurve("fade"));

    EXPECT_EQ(mTracks.Definition(wait)->mRepeatCount, 1);
    EXPECT_EQ(mTracks.Definition(wait)->mCurve, nullptr);
    EXPECT_EQ(mTracks.Definition(5), nullptr);
    EXPECT_TRUE(LogHas("step loading fade = 2"));
    EXPECT_TRUE(LogHas("step loading wait = 0"));
}

// A track whose curve carries a "name" takes the curve registered under that name.
TEST_F(CTrackBaseTest, TrackTakesTheCurveOfItsNameAttribute)
{
    Load("<root><move speed=\"1\" name=\"path\"><x src=\"0 1\"/></move></root>");
    int32_t move = -1;
    ASSERT_TRUE(mTracks.FindTrack("move", &move));
    ASSERT_NE(mTracks.Definition(move)->mCurve, nullptr);
    EXPECT_EQ(SampleCurve1D(mTracks.Definition(move)->mCurve, 1.0f), 1.0f);
}

TEST_F(CTrackBaseTest, FreeingSwapsWithTheLastTrackInUseAndReusesIt)
{
    CAnimPlayer player;
    CAnimTrack* a = mTracks.NewIdleInstance();
    CAnimTrack* b = mTracks.NewIdleInstance();
    CAnimTrack* c = mTracks.NewIdleInstance();
    a->mOwnerTag = 5;
    player.Attach(a);

    mTracks.FreeInstance(a);
    EXPECT_EQ(mTracks.Running().Used(), 2u);
    EXPECT_EQ(c->mPoolIndex, 0);
    EXPECT_EQ(a->mPoolIndex, 2);
    EXPECT_EQ(a->mState, CAnimTrack::kFreed);
    EXPECT_EQ(a->mOwnerTag, CAnimTrack::kNone);
    EXPECT_FALSE(a->mAttached);
    EXPECT_TRUE(player.mActive.empty());

    // A second free of the same track changes nothing.
    mTracks.FreeInstance(a);
    EXPECT_EQ(mTracks.Running().Used(), 2u);
    EXPECT_EQ(b->mPoolIndex, 1);

    CAnimTrack* again = mTracks.NewIdleInstance();
    EXPECT_EQ(again, a);
    EXPECT_EQ(again->mState, CAnimTrack::kTaken);
}

TEST_F(CTrackBaseTest, StartingATrackAgainMovesItBetweenPlayersAndIsNeverHandledTwice)
{
    Load("<root><blink speed=\"0.5\" repeat=\"2\"><x src=\"0 1\"/></blink></root>");
    CAnimPlayer first, second;
    CAnimTrack* slot = nullptr;
    mTracks.StartTimer(slot, 0.0f, 1.0f, 1, true, &first);
    ASSERT_NE(slot, nullptr);
    EXPECT_FALSE(slot->mAttached);
    first.Attach(slot);
    first.Update(1.0f);
    ASSERT_EQ(first.mFinished.size(), 1u);

    // Restarted on the same player: its finished entry goes.
    CAnimTrack* const track = slot;
    mTracks.StartTimer(slot, 0.25f, 0.5f, 2, true, &first);
    EXPECT_EQ(slot, track);
    EXPECT_EQ(first.mFinished[0], nullptr);
    EXPECT_EQ(slot->mTime, 0.25f);
    EXPECT_TRUE(slot->mAttached);

    // Started from a definition on another player: off the first one, curve taken.
    slot->mOwnerTag = 9;
    int32_t blink = -1;
    ASSERT_TRUE(mTracks.FindTrack("blink", &blink));
    EXPECT_TRUE(mTracks.StartTrack(slot, blink, true, &second));
    EXPECT_TRUE(first.mActive.empty());
    EXPECT_FALSE(slot->mAttached);
    EXPECT_EQ(slot->mPlayer, &second);
    EXPECT_EQ(slot->mOwnerTag, 9);
    EXPECT_EQ(slot->mSpeed, 0.5f);
    EXPECT_EQ(slot->mRepeatCount, 2);
    EXPECT_NE(slot->mCurve, nullptr);

    EXPECT_FALSE(mTracks.StartTrack(slot, 42, true, &second));
    EXPECT_EQ(slot->mSpeed, 0.5f);
}

} // namespace
