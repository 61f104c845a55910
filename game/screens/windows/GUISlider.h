#pragma once

#include "framework/graphics/Rect.h"

#include <cstdint>

struct GUISlider {
    enum State : int32_t { kIdle = 0, kHovered = 1, kPressed = 2, kDragging = 3 };

    float mStep = 0.0f;
    float mValue = 0.0f;
    Lumo::Rect mRect{};
    Lumo::Rect mLeftRect{};
    Lumo::Rect mRightRect{};
    Lumo::Rect mPos{};
    int32_t mNutX = 0;
    int32_t mNutY = 0;
    int32_t mRailX = 0;
    int32_t mRailY = 0;
    int32_t mBody = -2;
    int32_t mNut = -2;
    int32_t mGrabOffset = 0;
    int32_t mRailLength = 0;
    int32_t mState = kIdle;
};
