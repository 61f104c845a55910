#include "platform/process/Clock.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(Clock, FakeClockDrivesEveryTimeCall)
{
    FakeClock fake(5000);
    ScopedClock scope(&fake);
    EXPECT_EQ(timeGetTime(), 5u);
    Sleep(20);
    fake.AdvanceMicros(1500);
    EXPECT_EQ(timeGetTime(), 26u);
    EXPECT_EQ(GetTickCount(), 26u);
    int64_t count = 0, frequency = 0;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    EXPECT_EQ(count * 1000 / frequency, 26);
}

TEST(Clock, MillisecondsWrapLikeA32BitCounter)
{
    FakeClock fake((uint64_t(1) << 32) * 1000 - 1000);
    ScopedClock scope(&fake);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFFFu);
    fake.AdvanceMillis(2);
    EXPECT_EQ(timeGetTime(), 1u);
    EXPECT_EQ(int32_t(timeGetTime() - 0xFFFFFFFFu), 2);
}

TEST(Clock, ScopeRestoresTheSystemClock)
{
    FakeClock fake;
    {
        ScopedClock scope(&fake);
        EXPECT_EQ(&GetClock(), &fake);
    }
    EXPECT_NE(&GetClock(), &fake);
}
