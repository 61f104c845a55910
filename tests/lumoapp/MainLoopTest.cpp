#include "tests/lumoapp/AppFixture.h"

#include "framework/widgets/WidgetManager.h"

namespace LumoTest {
namespace {

class MainLoopTest : public AppFixture {};

TEST_F(MainLoopTest, RunsOneHundredUpdatesASecondAndCatchesUpAtMostTwentyAfterAStall)
{
    ASSERT_NE(StartApp(), nullptr);
    RunFor(500);
    const int before = mApp->mUpdateCount;
    RunFor(1000);
    EXPECT_NEAR(mApp->mUpdateCount - before, 100, 1);
    EXPECT_GT(mApp->mSleepCount, 0);

    const int sleepsBefore = mApp->mSleepCount;
    const int updatesBefore = mApp->mUpdateCount;
    mClock.AdvanceMillis(1000);
    while (mApp->mSleepCount == sleepsBefore)
        mApp->PumpAndStep(nullptr);
    EXPECT_EQ(mApp->mUpdateCount - updatesBefore, 20);
}

TEST_F(MainLoopTest, AtDoubleSpeedADrawIsForcedAfterTwentyUpdatesOnlyOnceLoadingIsDone)
{
    for (const bool loadingDone : {false, true}) {
        SCOPED_TRACE(loadingDone);
        ASSERT_NE(StartApp(), nullptr);
        mApp->mRateMultiplier = 2.0;
        mApp->mLoadingDoneHandled = loadingDone;
        RunFor(100);
        mClock.AdvanceMillis(1000);
        const int updatesBefore = mApp->mUpdateCount;
        const int drawsBefore = mApp->mDrawCalls;
        int updatesUntilDraw = 0;
        while (mApp->mDrawCalls == drawsBefore) {
            mApp->PumpAndStep(nullptr);
            updatesUntilDraw = mApp->mUpdateCount - updatesBefore;
        }
        // 200 ms of debt at 5 ms a step is 40 updates; the forced draw comes first.
        EXPECT_EQ(updatesUntilDraw, loadingDone ? 19 : 40);
        mApp.reset();
    }
}

TEST_F(MainLoopTest, AStoredWaitForVSyncOfZeroStillRunsTheFractionalUpdate)
{
    struct Counter final : Lumo::Widget {
        int mFractions = 0;
        void UpdateFraction(float) override { ++mFractions; }
    } counter;
    ASSERT_NE(StartApp(), nullptr);
    mApp->mWaitForVSync = false;
    mApp->mWidgetManager->AddChild(&counter);
    RunFor(100);
    EXPECT_GE(counter.mFractions, 9);
    mApp->mWidgetManager->RemoveChild(&counter);
}

// A dialog waiting for its result runs nested passes: what those passes queue
// must outlive them, and what the outer pass queued must outlive them too.
TEST_F(MainLoopTest, DeferredDeletionWaitsUntilTheLoopIsBackAtAShallowerDepth)
{
    ASSERT_NE(StartApp(), nullptr);
    bool outerDeleted = false;
    bool nestedDeleted = false;
    bool outerAliveAfterNested = false;
    bool nestedAliveAfterNested = false;
    int updates = 0;
    mApp->mOnUpdate = [&] {
        ++updates;
        if (updates == 3) {
            auto* outer = new InputWidget;
            outer->mDeleted = &outerDeleted;
            mApp->DeferDelete(outer);
            int nestedUpdates = 0;
            while (nestedUpdates < 5) {
                bool updated = false;
                mApp->PumpAndStep(&updated);
                if (updated && ++nestedUpdates == 1) {
                    auto* nested = new InputWidget;
                    nested->mDeleted = &nestedDeleted;
                    mApp->DeferDelete(nested);
                }
            }
            outerAliveAfterNested = !outerDeleted;
            nestedAliveAfterNested = !nestedDeleted;
        }
        if (updates == 30)
            mApp->RequestShutdown();
    };
    mApp->RunUntilShutdown();
    EXPECT_TRUE(outerAliveAfterNested);
    EXPECT_TRUE(nestedAliveAfterNested);
    EXPECT_TRUE(outerDeleted);
    EXPECT_TRUE(nestedDeleted);
}

TEST_F(MainLoopTest, AShutdownRequestFromAnotherThreadActsAtTheNextTimingStep)
{
    ASSERT_NE(StartApp(), nullptr);
    std::thread([&] { mApp->RequestShutdown(); }).join();
    EXPECT_FALSE(mApp->mShutdown);
    for (int pass = 0; pass < 3 && !mApp->mShutdown; ++pass)
        mApp->PumpAndStep(nullptr);
    EXPECT_TRUE(mApp->mShutdown);
}

} // namespace
} // namespace LumoTest
