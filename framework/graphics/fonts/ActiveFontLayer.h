#pragma once

#include "framework/graphics/Rect.h"

namespace Lumo {

class FontLayer;
class Image;

// A layer of a font's data chosen for the font's size and tags, with its
// glyph image: the layer's own, or a rescaled copy that it owns.
class ActiveFontLayer {
public:
    explicit ActiveFontLayer(FontLayer* baseLayer) : mBaseFontLayer(baseLayer) {}
    // An owned image is duplicated through the font data's application.
    ActiveFontLayer(const ActiveFontLayer& other);
    ActiveFontLayer& operator=(const ActiveFontLayer&) = delete;
    virtual ~ActiveFontLayer();

    FontLayer* mBaseFontLayer;
    Image* mScaledImage = nullptr;
    bool mOwnsImage = false;
    Rect mScaledCharImageRects[256] = {};
};

} // namespace Lumo
