#include "framework/audio/VolumeToDecibels.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(VolumeToDecibels, FollowsTheLogarithmicTable)
{
    struct Case {
        float volume;
        int32_t hundredths;
    };
    const Case cases[] = {
        {1.0f, 0},        {0.5f, -605},    {0.25f, -1138},  {0.1f, -1682},
        {0.05f, -1956},   {0.0432f, -2000}, {0.043f, -10000}, {0.0f, -10000},
        {-0.5f, -10000},  {std::numeric_limits<float>::quiet_NaN(), -10000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Lumo::VolumeToDecibels(c.volume), c.hundredths) << "volume " << c.volume;
}

TEST(VolumeToDecibels, PassesLouderThanFullOnAsPositive)
{
    EXPECT_EQ(Lumo::VolumeToDecibels(2.0f), 650);
}

} // namespace
