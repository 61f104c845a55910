#pragma once

#include <cstdint>

// One "ball" of the ball file.
struct BallDef {
    int32_t mHotSpotX = 0;
    int32_t mHotSpotY = 0;
    int32_t mCenterX = 0;
    int32_t mCenterY = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    // The bounce's integration step h.
    float mSpeed = 0.0f;
    // Flight speeds: curve parameter per unit of update time.
    float mCurveSpeed = 0.0f;
    float mMinCurveSpeed = 0.0f;
    float mDelaySpeed = 0.0f;
    float mPeriodScale = 0.0f;
    float mCurveRising = 0.0f;
    float mP = 0.0f;
    float mG = 0.0f;
    float mGMatched = 0.0f;
    float mPMatched = 0.0f;
    int32_t mShadowFirstFrame = -2;
    // The shadow's frame count less one.
    int32_t mShadowLastOffset = 0;
    int32_t mShadowHotSpotX = 0;
    int32_t mShadowHotSpotY = 0;
    // The scene object the ball plays.
    int32_t mRenderable = -2;
};
