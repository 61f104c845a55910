#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/fonts/FontLayerChar.h"
#include "framework/graphics/images/SharedImageRef.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Lumo {

class FontData;

// One strip of glyphs of a bitmap font with everything that places, tints
// and orders them. A copy takes every field, the image reference included.
class FontLayer {
public:
    explicit FontLayer(FontData* fontData) : mFontData(fontData) {}
    FontLayer(const FontLayer& other) = default;
    FontLayer& operator=(const FontLayer&) = delete;

    FontData* mFontData;
    // Upper-cased.
    std::vector<std::string> mRequiredTags;
    std::vector<std::string> mExcludedTags;
    FontLayerChar mCharData[256];
    Color mColorMult = Color::White;
    Color mColorAdd{0, 0, 0, 0};
    SharedImageRef mImage;
    // -1: the drawing context's own; 0 normal; 1 additive.
    int32_t mDrawMode = -1;
    int32_t mOffsetX = 0;
    int32_t mOffsetY = 0;
    int32_t mSpacing = 0;
    // -1: no bound.
    int32_t mMinPointSize = -1;
    int32_t mMaxPointSize = -1;
    // The size the glyphs were drawn at; 0: unscaled.
    int32_t mPointSize = 0;
    int32_t mAscent = 0;
    int32_t mAscentPadding = 0;
    int32_t mHeight = 0;
    // The tallest glyph, worked out when the image map is set.
    int32_t mDefaultHeight = 0;
    int32_t mLineSpacingOffset = 0;
    int32_t mBaseOrder = 0;
};

} // namespace Lumo
