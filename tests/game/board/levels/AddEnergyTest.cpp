#include "game/board/levels/CEnergyMeter.h"
#include "game/data/CGameConfig.h"

#include <gtest/gtest.h>

namespace {

struct FakeMeter : CEnergyMeter {
    int32_t Energy() const override { return mEnergy; }
    void SetEnergy(int32_t energy) override { mEnergy = energy; }
    void ShowEnergy(int32_t percent, bool immediate, float speed) override
    {
        mPercent = percent;
        mImmediate = immediate;
        mSpeed = speed;
    }
    void SetChanged() override { ++mChanged; }

    int32_t mEnergy = 0;
    int32_t mPercent = -99;
    bool mImmediate = false;
    float mSpeed = 0.0f;
    int32_t mChanged = 0;
};

TEST(AddEnergyTest, CapsAtOneThousandWithoutAFloor)
{
    CGameConfig::live.energySpeed = 0.25f;
    struct Case {
        int32_t start, amount;
        bool immediate;
        int32_t energy, percent;
    };
    for (const Case& c : {Case{950, 100, true, 1000, 100}, Case{5, -20, false, -15, -1}, Case{0, 35, true, 35, 3},
                          Case{-2000000000, -2000000000, false, INT32_MIN, INT32_MIN / 10}}) {
        FakeMeter meter;
        meter.mEnergy = c.start;
        AddEnergy(meter, c.amount, c.immediate);
        EXPECT_EQ(meter.mEnergy, c.energy) << c.start << " " << c.amount;
        EXPECT_EQ(meter.mPercent, c.percent) << c.start << " " << c.amount;
        EXPECT_EQ(meter.mImmediate, c.immediate);
        EXPECT_FLOAT_EQ(meter.mSpeed, 0.25f);
        EXPECT_EQ(meter.mChanged, 1);
    }
}

} // namespace
