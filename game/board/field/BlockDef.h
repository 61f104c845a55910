#pragma once

#include "framework/graphics/Color.h"

#include <cstdint>

// How the blocks of one colour look: their sprite, their animations and
// hover tracks, and the colour that stands for them.
struct BlockDef {
    int32_t mSprite = -2;
    int32_t mFallAnim1 = -2;
    int32_t mFallAnim2 = -2;
    int32_t mHoverFadeIn = -2;
    int32_t mHoverFadeOut = -2;
    int32_t mSpinAnim1 = -2;
    int32_t mSpinAnim2 = -2;
    Lumo::Color mColour{255, 255, 255, 255};
};
