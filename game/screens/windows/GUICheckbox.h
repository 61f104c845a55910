#pragma once

#include "framework/graphics/Rect.h"

#include <cstdint>

struct GUICheckbox {
    int32_t mValue = 0;
    Lumo::Rect mRect{};
    int32_t mBodyX = 0;
    int32_t mBodyY = 0;
    int32_t mCheckX = 0;
    int32_t mCheckY = 0;
    int32_t mBody = -2;
    int32_t mCheck = -2;
};
