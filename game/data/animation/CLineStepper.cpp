#include "game/data/animation/CLineStepper.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Deltas are cell counts; capping them keeps twice the magnitude an int.
int32_t Magnitude(int32_t delta) { return int32_t(std::min<int64_t>(std::llabs(int64_t(delta)), INT32_MAX / 4)); }

} // namespace

void CLineStepper::Init(int32_t dx, int32_t dy)
{
    mAbsDx = Magnitude(dx);
    mAbsDy = Magnitude(dy);
    mTwiceDx = 2 * mAbsDx;
    mTwiceDy = 2 * mAbsDy;
    mStepX = dx < 0 ? -1 : 1;
    mStepY = dy < 0 ? -1 : 1;
    Restart();
}

void CLineStepper::Restart()
{
    mX = mOriginX;
    mY = mOriginY;
    mSteps = 0;
    mError = mAbsDx <= mAbsDy ? mTwiceDx - mAbsDy : mTwiceDy - mAbsDx;
}

void CLineStepper::StepTo(float fraction, int32_t* x, int32_t* y)
{
    const bool xMajor = mAbsDx > mAbsDy;
    const int32_t major = xMajor ? mAbsDx : mAbsDy;
    if (!(fraction >= 0.0f))
        fraction = 0.0f;
    if (fraction > 1.0f)
        fraction = 1.0f;
    int32_t target = int32_t(float(major) * fraction + 0.5f);
    if (target > major)
        target = major;
    if (mSteps > target)
        Restart();
    while (mSteps < target) {
        if (xMajor) {
            if (mError >= 0) {
                mError -= mTwiceDx;
                mY += mStepY;
            }
            mError += mTwiceDy;
            mX += mStepX;
        } else {
            if (mError >= 0) {
                mError -= mTwiceDy;
                mX += mStepX;
            }
            mError += mTwiceDx;
            mY += mStepY;
        }
        ++mSteps;
    }
    *x = mX;
    *y = mY;
}
