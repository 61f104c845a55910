#pragma once

#include "framework/graphics/Rect.h"

#include <cstdint>

namespace Lumo {

// One character of a font layer.
struct FontLayerChar {
    // Where the glyph lies in the layer image.
    Rect mImageRect{0, 0, 0, 0};
    int32_t mOffsetX = 0;
    int32_t mOffsetY = 0;
    // Entry n is added to the advance when character n follows.
    int8_t mKerningOffsets[256] = {};
    // The advance.
    int32_t mWidth = 0;
    // Added to the layer's base order when this character is drawn.
    int32_t mOrder = 0;
};

} // namespace Lumo
