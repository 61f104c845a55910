#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstdint>

namespace Lumo {

class Font;
class Image;

// The drawing state of a Graphics, saved and restored whole by its state
// stack. Fields are open: code that needs a scaled context, or colour codes
// switched for one call, sets them directly.
class GraphicsState {
public:
    Image* mDestImage = nullptr;           // not owned
    float mTransX = 0.0f;                  // added to every position
    float mTransY = 0.0f;
    float mScaleX = 1.0f;                  // plain image draws only
    float mScaleY = 1.0f;
    float mScaleOrigX = 0.0f;              // destination point the scale keeps fixed
    float mScaleOrigY = 0.0f;
    Rect mClipRect{0, 0, 0, 0};            // destination pixels, after translation
    Color mColor;
    Font* mFont = nullptr;                 // not owned
    int32_t mDrawMode = 0;                 // 0 normal, 1 additive
    bool mTintImages = false;              // image draws modulated by mColor
    bool mQuickStretch = false;
    bool mColorCodes = true;               // text honours inline colour codes
};

} // namespace Lumo
