#include "framework/core/CriticalSectionHolder.h"
#include "framework/core/DebugPrintf.h"
#include "framework/core/Fraction.h"
#include "platform/process/Debug.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>

using namespace Lumo;

TEST(Fraction, SetReducesByTheGreatestCommonDivisor)
{
    Fraction fresh;
    EXPECT_EQ(fresh.mNumerator, 1);
    EXPECT_EQ(fresh.mDenominator, 1);

    struct Case {
        int32_t numerator, denominator, reducedNumerator, reducedDenominator;
    };
    const Case cases[] = {
        {800, 600, 4, 3},
        {1920, 1080, 16, 9},
        {0, 5, 0, 1},
        {5, 0, 1, 0},
        {7, 7, 1, 1},
        {4, -6, -2, 3}, // the divisor's sign follows the remainder loop
        {0, 0, 0, 0},
        {INT_MIN, -1, INT_MIN, 1},
        {-1, INT_MIN, 1, INT_MIN},
    };
    for (const Case& c : cases) {
        Fraction fraction;
        fraction.Set(c.numerator, c.denominator);
        EXPECT_EQ(fraction.mNumerator, c.reducedNumerator) << c.numerator << "/" << c.denominator;
        EXPECT_EQ(fraction.mDenominator, c.reducedDenominator) << c.numerator << "/" << c.denominator;
    }
}

TEST(CriticalSectionHolder, TheOwnerMayEnterAgainAndOthersWait)
{
    CriticalSectionHolder section;
    std::lock_guard<CriticalSectionHolder> outer(section);
    {
        std::lock_guard<CriticalSectionHolder> inner(section);
        bool otherEntered = true;
        std::thread([&] { otherEntered = section.try_lock(); }).join();
        EXPECT_FALSE(otherEntered);
    }
}

TEST(DebugPrintf, SendsTheTextUnchanged)
{
    std::string output;
    Platform::DebugSink previous = Platform::SetDebugSink([&](const char* text) { output += text; });
    DebugPrintf("Display %dx%d", 800, 600);
    DebugPrintf(" at %s\n", "60 Hz");
    Platform::SetDebugSink(previous);
    EXPECT_EQ(output, "Display 800x600 at 60 Hz\n");
}
