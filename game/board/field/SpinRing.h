#pragma once

#include <cstdint>

class CAnimTrack;

// One concentric ring of cells that the randomize bonus lifts, spins and sets down.
struct SpinRing {
    CAnimTrack* mTrack = nullptr;
    int32_t mFirstElement = 0;
    int32_t mElementCount = 0;
    // 0 rising, 1 spinning, 2 falling.
    int32_t mStage = 0;
    int32_t mController = 0;
    float mStartHeight = 0.0f;
    float mHeightChange = 0.0f;
};

// One cell of a ring: its place on the ring's circle and on the field, and
// the current stage's interpolation between them (field units and radians).
struct SpinElement {
    int32_t mCell = 0;
    float mRingRadius = 0.0f;
    float mRingAngle = 0.0f;
    float mCellDistance = 0.0f;
    float mCellAngle = 0.0f;
    float mStartRadius = 0.0f;
    float mRadiusChange = 0.0f;
    float mStartAngle = 0.0f;
    float mAngleChange = 0.0f;
    // Its place on the circle as a fraction of a turn.
    float mPhase = 0.0f;
};
