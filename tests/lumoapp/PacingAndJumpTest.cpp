#include "tests/lumoapp/AppFixture.h"

#include "framework/widgets/WidgetManager.h"
#include "platform/windows/Messages.h"

namespace LumoTest {
namespace {

// Changes every update, so every draw presents and pacing stays in force;
// each step (one fractional update) takes mStepMs of the fake clock.
class Restless final : public Lumo::Widget {
public:
    Restless(Platform::FakeClock& clock) : mClock(clock) {}
    void Update() override { MarkDirty(); }
    void UpdateFraction(float) override
    {
        ++mSteps;
        mClock.AdvanceMillis(mStepMs);
    }

    Platform::FakeClock& mClock;
    uint32_t mStepMs = 0;
    int mSteps = 0;
};

class PacingAndJumpTest : public AppFixture {
protected:
    ~PacingAndJumpTest() override
    {
        if (mApp) {
            mApp->mPlaying = false;
            mApp->mWidgetManager->RemoveChild(&mRestless);
        }
    }

    // A full-screen run that waits for the vertical sync; a small screen
    // keeps the thousands of draws cheap.
    void StartPaced(uint32_t stepMs)
    {
        mApp = std::make_unique<TestApp>();
        mApp->mWidth = 160;
        mApp->mHeight = 120;
        mApp->Initialize();
        mRestless.Resize(0, 0, 10, 10);
        mRestless.mStepMs = stepMs;
        mApp->mWidgetManager->AddChild(&mRestless);
        mApp->mWaitForVSync = true;
        mApp->mIsWindowed = false;
    }
    // Without pacing, a debt less than 1 ms short of a step is waited out by
    // passes that do not sleep: the real clock moves on meanwhile, so the fake one must too.
    void RunSteps(int count)
    {
        const int end = mRestless.mSteps + count;
        int stillPasses = 0;
        while (mRestless.mSteps < end) {
            const uint64_t before = mClock.NowMicros();
            mApp->PumpAndStep(nullptr);
            stillPasses = mClock.NowMicros() == before ? stillPasses + 1 : 0;
            if (stillPasses > 10)
                mClock.AdvanceMillis(1);
        }
    }
    // The demo runs freely up to its one record at update 2000.
    void PlayQuietDemo()
    {
        mApp->mDemoBuffer.Clear();
        mApp->mDemoNextUpdate = 0;
        mApp->mUpdateCount = 2000;
        mApp->DemoRecordKind(7);
        mApp->mDemoBuffer.RewindRead();
        mApp->mDemoNextUpdate = 0;
        mApp->mDemoNeedsHeader = true;
        mApp->mUpdateCount = 0;
        mApp->mPlaying = true;
        mApp->mDemoLoadingComplete = mApp->mLoadingDoneHandled = true;
    }

    Restless mRestless{mClock};
};

// 100 steps in 800 ms or less, three probes in a row, means the display does
// not really wait for the refresh: pacing goes off and stays off.
TEST_F(PacingAndJumpTest, TheSpeedProbeSwitchesPacingOffForGoodWhenStepsComeTooFast)
{
    struct Case {
        const char* name;
        uint32_t stepMs;
        double rate;
        bool switchedOff;
    };
    const Case cases[] = {
        {"7 ms a step", 7, 1.0, true},
        {"8 ms a step: exactly 800 ms", 8, 1.0, true},
        {"9 ms a step", 9, 1.0, false},
        {"too fast, but not at the normal rate", 7, 2.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartPaced(c.stepMs);
        mApp->mRateMultiplier = c.rate;
        // The first probe only stamps the time; the fourth is the third in a row.
        RunSteps(390);
        EXPECT_FALSE(mApp->mVSyncBroken);
        RunSteps(20);
        EXPECT_EQ(mApp->mVSyncBroken, c.switchedOff);
        mRestless.mStepMs = 20;
        RunSteps(300);
        EXPECT_EQ(mApp->mVSyncBroken, c.switchedOff);
        mApp->mWidgetManager->RemoveChild(&mRestless);
        mApp.reset();
        mRestless.mSteps = 0;
    }
}

TEST_F(PacingAndJumpTest, ASlowProbeBetweenFastOnesStartsTheCountAgain)
{
    StartPaced(7);
    RunSteps(300); // stamped, then two fast probes
    mRestless.mStepMs = 9;
    RunSteps(100);
    mRestless.mStepMs = 7;
    RunSteps(290);
    EXPECT_FALSE(mApp->mVSyncBroken);
    RunSteps(20);
    EXPECT_TRUE(mApp->mVSyncBroken);
}

// A jump 500 updates ahead runs them back to back with the sound muted,
// draws once a second of real time on the way, and unmutes when it is there.
TEST_F(PacingAndJumpTest, AJumpRunsBackToBackMutedAndDrawsOnceASecond)
{
    ASSERT_NE(StartApp(), nullptr);
    PlayQuietDemo();
    const int32_t autoMutes = mApp->mAutoMuteCount;
    mApp->mOnUpdate = [this] { mClock.AdvanceMillis(5); };
    mApp->mJumpTarget = 500;
    const int drawsBefore = mApp->mDrawCalls;
    int passes = 0;
    bool mutedOnTheWay = true;
    while (mApp->mUpdateCount < 500) {
        mApp->PumpAndStep(nullptr);
        ++passes;
        if (mApp->mUpdateCount > 0 && mApp->mUpdateCount < 500)
            mutedOnTheWay = mutedOnTheWay && mApp->mDemoMute && mApp->mAutoMuteCount > autoMutes;
    }
    EXPECT_TRUE(mutedOnTheWay);
    // 2.5 s of updates: a draw after each full second. Passes break off only
    // to read the filler records, one every 15 updates.
    EXPECT_EQ(mApp->mDrawCalls - drawsBefore, 2);
    EXPECT_LE(passes, 2 * (500 / 15 + 1) + 4);
    EXPECT_EQ(mApp->mUpdateCount, 500);
    EXPECT_FALSE(mApp->mDemoMute);
    EXPECT_EQ(mApp->mAutoMuteCount, autoMutes);
}

// The 'n' key: one update and a draw at once, without touching the sound.
TEST_F(PacingAndJumpTest, StepOneRunsOneUpdateAndDrawsWithoutMuting)
{
    ASSERT_NE(StartApp(), nullptr);
    PlayQuietDemo();
    RunFor(50);
    mApp->mPaused = true;
    const int updatesBefore = mApp->mUpdateCount;
    const int drawsBefore = mApp->mDrawCalls;
    const int32_t autoMutes = mApp->mAutoMuteCount;
    mApp->mJumpTarget = mApp->mUpdateCount + 1;
    mApp->mStepOne = true;
    for (int pass = 0; pass < 4; ++pass)
        mApp->PumpAndStep(nullptr);
    EXPECT_EQ(mApp->mUpdateCount, updatesBefore + 1);
    EXPECT_EQ(mApp->mDrawCalls, drawsBefore + 1);
    EXPECT_EQ(mApp->mAutoMuteCount, autoMutes);
    EXPECT_FALSE(mApp->mDemoMute);
    EXPECT_FALSE(mApp->mStepOne);
}

// A paused replay rests like a live run with nothing to do, and still reads
// the key that ends the pause.
TEST_F(PacingAndJumpTest, APausedReplaySleepsAndTakesTheKeyThatResumesIt)
{
    ASSERT_NE(StartApp(), nullptr);
    PlayQuietDemo();
    RunFor(50);
    mApp->mPaused = true;
    const int updatesBefore = mApp->mUpdateCount;
    EXPECT_LE(RunWorkingFor(1000), 200u);
    EXPECT_EQ(mApp->mUpdateCount, updatesBefore);

    Platform::PostMessageA(mApp->mHWnd, Platform::WM_CHAR, 'p', 0);
    RunWorkingFor(100);
    EXPECT_FALSE(mApp->mPaused);
    EXPECT_GT(mApp->mUpdateCount, updatesBefore);
}

} // namespace
} // namespace LumoTest
