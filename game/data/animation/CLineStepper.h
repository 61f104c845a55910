#pragma once

#include <cstdint>

// Walks an integer line from the origin towards (dx, dy) in proportion to a
// fraction of its length, one grid step at a time.
class CLineStepper {
public:
    void Init(int32_t dx, int32_t dy);
    // Steps to round(fraction of the major delta) steps (fraction clamped to
    // 0 ... 1); a fraction behind the current one restarts from the origin.
    void StepTo(float fraction, int32_t* x, int32_t* y);

    int32_t mOriginX = 0;
    int32_t mOriginY = 0;
    int32_t mAbsDx = 0;
    int32_t mAbsDy = 0;
    int32_t mTwiceDx = 0;
    int32_t mTwiceDy = 0;
    int32_t mStepX = 1;
    int32_t mStepY = 1;
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mError = 0;
    int32_t mSteps = 0;

private:
    void Restart();
};
