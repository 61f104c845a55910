#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CAnimTrack.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RunCase {
    const char* name;
    float speed;
    int32_t repeat;
    bool restart;
    float dt;
    // Time after each update, the repeat count after the last, and whether it finished then.
    std::vector<float> times;
    int32_t repeatLeft;
    bool finished;
};

TEST(CAnimPlayerTest, TracksAdvanceRepeatWrapAndFinish)
{
    const RunCase cases[] = {
        {"one run", 0.5f, 1, false, 1.0f, {0.5f, 0.9999f}, 0, true},
        {"two runs", 0.5f, 2, false, 1.0f, {0.5f, 0.0001f, 0.5001f, 0.9999f}, 0, true},
        {"several runs in one step", 1.0f, 3, false, 2.5f, {0.5002f}, 1, false},
        {"all runs in one step", 1.0f, 2, false, 5.0f, {0.9999f}, 0, true},
        {"wraps for ever", 0.4f, 1, true, 1.0f, {0.4f, 0.8f, 0.2001f, 0.6001f, 0.0002f}, 1, false},
        {"huge step", 1e30f, 1000000000, false, 1.0f, {0.9999f}, 0, true},
    };
    for (const RunCase& c : cases) {
        CAnimPlayer player;
        CAnimTrack track;
        track.mSpeed = c.speed;
        track.mRepeatCount = c.repeat;
        track.mRestart = c.restart;
        track.mRunning = 1;
        player.Attach(&track);
        for (size_t i = 0; i < c.times.size(); ++i) {
            player.Update(c.dt);
            EXPECT_NEAR(track.mTime, c.times[i], 2e-6) << c.name << " update " << i;
        }
        EXPECT_EQ(track.mRepeatCount, c.repeatLeft) << c.name;
        EXPECT_EQ(track.mRunning == 0, c.finished) << c.name;
        EXPECT_EQ(player.mFinished.size(), c.finished ? 1u : 0u) << c.name;
        EXPECT_EQ(track.mAttached, 1) << c.name << ": a finished track stays on the active list";
    }
}

TEST(CAnimPlayerTest, NegativeRepeatCountRunsOnPastTheEnd)
{
    CAnimPlayer player;
    CAnimTrack track;
    track.mSpeed = 0.6f;
    track.mRunning = 1;
    player.Attach(&track);
    track.mRepeatCount = -1;
    player.Update(1.0f);
    player.Update(1.0f);
    EXPECT_NEAR(track.mTime, 1.2f, 1e-6);
    EXPECT_TRUE(track.mRunning);
    EXPECT_TRUE(player.mFinished.empty());
}

TEST(CAnimPlayerTest, AttachAndDetachKeepTheActiveListDense)
{
    CAnimPlayer player;
    CAnimTrack a, b, c;
    a.mRepeatCount = 0;
    player.Attach(&a);
    player.Attach(&b);
    player.Attach(&c);
    player.Attach(&a);
    EXPECT_EQ(a.mRepeatCount, 1);
    ASSERT_EQ(player.mActive.size(), 3u);

    player.Detach(&a);
    EXPECT_EQ(player.mActive, (std::vector<CAnimTrack*>{&c, &b}));
    EXPECT_EQ(c.mActiveIndex, 0);
    EXPECT_FALSE(a.mAttached);
    EXPECT_EQ(a.mPlayer, &player);
    player.Detach(&a);
    EXPECT_EQ(player.mActive.size(), 2u);
}

// The owner's walk over the finished list skips tracks that left it since.
TEST(CAnimPlayerTest, DetachedAndClearedTracksLeaveHolesInTheFinishedList)
{
    CAnimPlayer player;
    CAnimTrack a, b, c;
    for (CAnimTrack* track : {&a, &b, &c}) {
        track->mSpeed = 1.0f;
        track->mRunning = 1;
        player.Attach(track);
    }
    player.Update(1.0f);
    ASSERT_EQ(player.mFinished, (std::vector<CAnimTrack*>{&a, &b, &c}));

    player.Detach(&a);
    player.ClearFinished(&c);
    EXPECT_EQ(player.mFinished, (std::vector<CAnimTrack*>{nullptr, &b, nullptr}));
    EXPECT_EQ(a.mFinishedIndex, CAnimTrack::kNone);
    EXPECT_EQ(c.mFinishedIndex, CAnimTrack::kNone);
    EXPECT_EQ(b.mFinishedIndex, 1);
}

} // namespace
