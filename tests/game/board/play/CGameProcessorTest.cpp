#include "game/board/play/CGameProcessor.h"

#include "game/data/CGameConfig.h"
#include "game/data/animation/CAnimTrack.h"
#include "tests/game/board/play/ProcessorFixture.h"

#include <gtest/gtest.h>

using BoardTest::ProcessorFixture;

namespace {

class CGameProcessorTest : public ProcessorFixture {
protected:
    // A running timer of the processor's player, taken from the store.
    CAnimTrack* Timer(float speed)
    {
        CAnimTrack* track = nullptr;
        mTracks.StartTimer(track, 0.0f, speed, 1, true, &mProcessor.Player());
        return track;
    }
};

TEST_F(CGameProcessorTest, ReleasedSlotIndicesComeBackFirstAndFollowUpsMayStartProcesses)
{
    // Slot 0 is the combo window's for good.
    CAnimTrack* a = Timer(0.5f);
    CAnimTrack* b = Timer(0.1f);
    mProcessor.StartProcess(kProcessBonusTimer, a, true);
    EXPECT_EQ(a->mOwnerTag, 1);
    mProcessor.StartProcess(kProcessBonusTimer, b, true);
    EXPECT_EQ(b->mOwnerTag, 2);

    std::vector<int32_t> restarted;
    mProcessor.RegisterKind(kProcessBonusTimer, {[&](CAnimTrack& track, int32_t slot) {
                                                     mProcessor.StopProcess(&track);
                                                     CAnimTrack* again = Timer(0.5f);
                                                     mProcessor.StartProcess(kProcessBonusTimer, again, true);
                                                     restarted.push_back(again->mOwnerTag);
                                                     EXPECT_EQ(mProcessor.Slot(slot).mKind, kProcessBonusTimer);
                                                     mTracks.FreeInstance(&track);
                                                 },
                                                 {}});
    Frames(2);
    EXPECT_EQ(restarted, std::vector<int32_t>{1});
    EXPECT_EQ(a->mOwnerTag, CAnimTrack::kNone);
    EXPECT_EQ(mProcessor.LiveProcesses(), 3);
}

TEST_F(CGameProcessorTest, KindsBeyondTheTableAreNeverDispatched)
{
    int32_t calls = 0;
    mProcessor.RegisterKind(kProcessPhaseHold, {[&](CAnimTrack&, int32_t) { ++calls; }, {}});
    CAnimTrack* track = Timer(1.0f);
    mProcessor.StartProcess(kProcessPhaseHold, track, true);
    Frames(2);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(mProcessor.Player().mFinished.empty());
}

TEST_F(CGameProcessorTest, TheDrainTakesWholePointsAndKeepsTheFraction)
{
    struct Case {
        float rate;
        int32_t frames;
        int32_t state;
        int32_t gameMode;
        int32_t points;
        int32_t expected;
    };
    const Case cases[] = {
        {0.25f, 3, 0, 1, 10, 10}, {0.25f, 4, 0, 1, 10, 9}, {0.25f, 9, 0, 1, 10, 8}, {2.5f, 2, 0, 1, 10, 5},
        {0.25f, 40, 0, 1, 2, 0},  {0.25f, 8, 7, 1, 10, 10}, {0.25f, 8, 0, 2, 10, 10},
    };
    for (const Case& c : cases) {
        mProcessor.SetState(c.state);
        mLevel.mGameMode = c.gameMode;
        mLevel.mPoints = c.points;
        mProcessor.SetDrain(true, c.rate);
        Frames(c.frames);
        EXPECT_EQ(mLevel.mPoints, c.expected) << c.rate << " x " << c.frames << " state " << c.state;
    }
    EXPECT_GT(mLevel.Count("changed"), 0);
}

TEST_F(CGameProcessorTest, AStateSwitchWaitsForBusyProcessesAndStopsTheOthers)
{
    CAnimTrack* bonusTimer = Timer(0.001f);
    mProcessor.StartProcess(kProcessBonusTimer, bonusTimer, true);
    CAnimTrack* placement = Timer(0.001f);
    mProcessor.StartProcess(kProcessLinePlacement, placement, true);
    int32_t stops = 0;
    mProcessor.RegisterKind(kProcessBonusTimer, {{}, [&](CAnimTrack& track, int32_t) {
                                                     ++stops;
                                                     mProcessor.StopProcess(&track);
                                                 }});

    mProcessor.SetState(1);
    EXPECT_TRUE(mBall.Has(CBall::kFrozen) && mBall.Has(CBall::kHeld));
    EXPECT_EQ(mHost.mCalls.front(), "rest");
    EXPECT_TRUE(mProcessor.Busy());
    Frames(1);
    EXPECT_TRUE(LogHas("\t[3]"));
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(mLevel.Count("state"), 0);
    EXPECT_TRUE(mProcessor.DelayTimer()->mAttached);

    mProcessor.StopProcess(placement);
    Frames(9);
    EXPECT_EQ(mLevel.Count("state"), 0);
    Frames(1);
    EXPECT_TRUE(LogHas("change done"));
    EXPECT_EQ(mLevel.Count("state"), 1);
    EXPECT_FALSE(mProcessor.DelayTimer()->mAttached);
    Frames(20);
    EXPECT_EQ(mLevel.Count("state"), 1);
    mTracks.FreeInstance(placement);
    mTracks.FreeInstance(bonusTimer);
}

TEST_F(CGameProcessorTest, TheEndlessGameLostOnlyLogsWhatStillRuns)
{
    mLevel.mGameMode = 2;
    CAnimTrack* placement = Timer(0.001f);
    mProcessor.StartProcess(kProcessLinePlacement, placement, true);
    mProcessor.SetState(2);
    EXPECT_FALSE(mProcessor.Busy());
    Frames(1);
    EXPECT_EQ(mLevel.Count("state"), 1);
    EXPECT_TRUE(placement->mAttached);
    mTracks.FreeInstance(placement);
}

TEST_F(CGameProcessorTest, PhasesPutTheBoardToRestAndPickTheirVariant)
{
    mProcessor.SetState(3);
    mProcessor.SetState(4);
    mProcessor.SetState(5);
    ASSERT_EQ(mLevel.mCalls.size(), 3u);
    const int32_t intro = std::stoi(mLevel.mCalls[0].substr(6));
    const int32_t outro = std::stoi(mLevel.mCalls[1].substr(6));
    EXPECT_TRUE(intro >= 1 && intro <= 3);
    EXPECT_TRUE(outro >= 6 && outro <= 8);
    EXPECT_EQ(mLevel.mCalls[2], "final outro");
    EXPECT_EQ(std::count(mHost.mCalls.begin(), mHost.mCalls.end(), "rest"), 3);
}

TEST_F(CGameProcessorTest, HazardWarningsFollowTheFlags)
{
    mProcessor.SetHazards(true, CGameProcessor::kTimeHazard | CGameProcessor::kEnergyHazard);
    CAnimTrack* time = mProcessor.HazardTrack(CGameProcessor::kHazardTime);
    CAnimTrack* energy = mProcessor.HazardTrack(CGameProcessor::kHazardEnergy);
    EXPECT_EQ(mHost.mHazards[0], time);
    EXPECT_EQ(mHost.mHazards[1], energy);
    EXPECT_EQ(mProcessor.Slot(time->mOwnerTag).mKind, kProcessTimeWarning);
    EXPECT_EQ(mProcessor.Slot(energy->mOwnerTag).mKind, kProcessEnergyWarning);
    EXPECT_TRUE(mProcessor.HazardCheck()->mAttached);

    const int32_t check = FramesFor(CGameConfig::live.period);
    mLevel.mHazards = CGameProcessor::kEnergyHazard;
    Frames(check);
    EXPECT_EQ(mHost.mHazards[0], nullptr);
    EXPECT_FALSE(time->mAttached);
    EXPECT_EQ(time->mOwnerTag, CAnimTrack::kNone);
    EXPECT_EQ(mHost.mHazards[1], energy);
    EXPECT_TRUE(energy->mAttached);
    EXPECT_TRUE(mProcessor.HazardCheck()->mAttached);

    mLevel.mHazards = 0;
    Frames(check);
    EXPECT_EQ(mHost.mHazards[1], nullptr);
    EXPECT_FALSE(energy->mAttached);
    EXPECT_FALSE(mProcessor.HazardCheck()->mAttached);
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
}

TEST_F(CGameProcessorTest, TheHazardBallPlaysOnceAndLetsGoOfTheBall)
{
    mProcessor.StartHazardBall();
    CAnimTrack* track = mProcessor.HazardTrack(CGameProcessor::kHazardBall);
    EXPECT_EQ(mBall.HazardTrack(), track);
    Frames(FramesFor(track->mSpeed) - 1);
    EXPECT_EQ(mBall.HazardTrack(), track);
    Frames(1);
    EXPECT_EQ(mBall.HazardTrack(), nullptr);
    EXPECT_EQ(mProcessor.LiveProcesses(), 1);
}

} // namespace
