#pragma once

#include "framework/graphics/Rect.h"

#include <cstdint>

namespace Lumo {

class Image;

// One glyph of one layer, queued while an image font draws a string.
struct FontRenderRecord {
    Image* mImage = nullptr;
    int32_t mX = 0;
    int32_t mY = 0;
    Rect mSrcRect{0, 0, 0, 0};
    // -1: the drawing context's own mode.
    int32_t mDrawMode = -1;
    int32_t mColorRed = 0;
    int32_t mColorGreen = 0;
    int32_t mColorBlue = 0;
    int32_t mColorAlpha = 255;
    FontRenderRecord* mNext = nullptr;
};

} // namespace Lumo
