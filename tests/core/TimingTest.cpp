#include "framework/core/Profiler.h"
#include "framework/core/StopwatchTimer.h"
#include "platform/process/Clock.h"

#include <gtest/gtest.h>

using Lumo::Profiler;
using Lumo::StopwatchTimer;

TEST(StopwatchTimer, MeasuresMillisecondsOnTheCounter)
{
    Platform::FakeClock clock(5000000);
    Platform::ScopedClock scoped(&clock);
    StopwatchTimer watch;
    EXPECT_EQ(watch.Elapsed(), 0.0);

    watch.Start();
    clock.AdvanceMicros(50250);
    EXPECT_DOUBLE_EQ(watch.Elapsed(), 50.25);
    clock.AdvanceMillis(10);
    EXPECT_DOUBLE_EQ(watch.Elapsed(), 60.25);

    watch.Stop();
    clock.AdvanceMillis(100);
    EXPECT_DOUBLE_EQ(watch.Elapsed(), 60.25);
    // Stopping a stopped watch changes nothing.
    watch.Stop();
    EXPECT_DOUBLE_EQ(watch.Elapsed(), 60.25);
    // Update measures even while stopped.
    watch.Update();
    EXPECT_DOUBLE_EQ(watch.Elapsed(), 160.25);
}

class ProfilerTest : public ::testing::Test {
protected:
    void SetUp() override { Profiler::Reset(); }
    void TearDown() override { Profiler::Reset(); }

    Platform::FakeClock mClock{1000000};
    Platform::ScopedClock mScoped{&mClock};
};

TEST_F(ProfilerTest, ReportWithoutSectionsIsTheTotalLine)
{
    Profiler::Start();
    EXPECT_TRUE(Profiler::IsActive());
    mClock.AdvanceMicros(12346);
    Profiler::Stop();
    EXPECT_FALSE(Profiler::IsActive());
    EXPECT_EQ(Profiler::Report(), "Total Time: 12.35\n");
}

TEST_F(ProfilerTest, NestedRunsCountCallsAndTimeTheOuterPair)
{
    Profiler::Start();
    Profiler::BeginSection("Draw");
    mClock.AdvanceMillis(2);
    Profiler::BeginSection("DRAW"); // the same section: names ignore case
    mClock.AdvanceMillis(3);
    Profiler::EndSection("draw");
    mClock.AdvanceMillis(5);
    Profiler::EndSection("Draw");
    Profiler::BeginSection("Update");
    mClock.AdvanceMillis(4);
    Profiler::EndSection("Update");
    Profiler::BeginSection("Update");
    mClock.AdvanceMillis(6);
    Profiler::EndSection("Update");
    Profiler::EndSection("NeverBegun");
    mClock.AdvanceMillis(30);
    Profiler::Stop();

    EXPECT_EQ(Profiler::Report(), "Total Time: 50.00\n"
                                  "Draw (2 calls, %20.00 time): 10.00 (5.00 avg, 10.00 longest)\n"
                                  "Update (2 calls, %20.00 time): 10.00 (5.00 avg, 6.00 longest)\n");
}

TEST_F(ProfilerTest, SectionsMarkNothingWhileInactiveAndStartClearsTheLastRun)
{
    Profiler::BeginSection("Early");
    Profiler::EndSection("Early");
    Profiler::Start();
    Profiler::BeginSection("Load");
    mClock.AdvanceMillis(1);
    Profiler::EndSection("Load");
    Profiler::Stop();
    Profiler::BeginSection("Late");
    EXPECT_EQ(Profiler::Report().find("Early"), std::string::npos);
    EXPECT_EQ(Profiler::Report().find("Late"), std::string::npos);
    EXPECT_NE(Profiler::Report().find("Load (1 calls"), std::string::npos);

    Profiler::Start();
    Profiler::Stop();
    EXPECT_EQ(Profiler::Report(), "Total Time: 0.00\n");
}

TEST_F(ProfilerTest, TickRateIsTheCounterFrequency)
{
    EXPECT_EQ(Profiler::TicksPerSecond(), 1000000);
}
