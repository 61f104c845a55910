#include "game/data/animation/CLineStepper.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct StepCase {
    float fraction;
    int32_t x, y;
};

void ExpectSteps(int32_t dx, int32_t dy, std::initializer_list<StepCase> steps)
{
    CLineStepper stepper;
    stepper.Init(dx, dy);
    for (const StepCase& step : steps) {
        int32_t x = -99, y = -99;
        stepper.StepTo(step.fraction, &x, &y);
        EXPECT_EQ(x, step.x) << dx << "," << dy << " at " << step.fraction;
        EXPECT_EQ(y, step.y) << dx << "," << dy << " at " << step.fraction;
    }
}

TEST(CLineStepperTest, StepsAlongTheLineAndRestartsWhenGoingBack)
{
    ExpectSteps(5, -2, {{0.0f, 0, 0}, {0.5f, 3, -1}, {1.0f, 5, -2}, {0.5f, 3, -1}});
    ExpectSteps(-1, 4, {{0.25f, 0, 1}, {0.5f, -1, 2}, {1.0f, -1, 4}});
    ExpectSteps(3, 3, {{1.0f, 3, 3}});
    // Fractions outside 0 ... 1 stop at the ends.
    ExpectSteps(4, 0, {{7.0f, 4, 0}, {-1.0f, 0, 0}, {std::nanf(""), 0, 0}});
    ExpectSteps(0, 0, {{1.0f, 0, 0}});
}

} // namespace
