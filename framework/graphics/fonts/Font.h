#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <string>

namespace Lumo {

class Graphics;

// The abstract font through which all text is measured and drawn. Text is
// bytes (code page 1252); colour codes are resolved by Graphics before a font
// is called, so a font only draws plain runs in one colour.
class Font {
public:
    Font() = default;
    Font(const Font& other) = default;
    Font& operator=(const Font&) = delete;
    virtual ~Font() = default;

    virtual int GetAscent();
    virtual int GetAscentPadding();
    virtual int GetDescent();
    virtual int GetHeight();
    virtual int GetLineSpacingOffset();
    virtual int GetLineSpacing();
    virtual int StringWidth(const std::string& text);
    virtual int CharWidth(char c);
    // The base ignores the previous character.
    virtual int CharWidthKerned(char c, char previous);
    // y is the baseline. x and y are untranslated: the font applies the
    // context's translation. clip is in destination pixels.
    virtual void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                            const Rect& clip);
    // A new heap copy, owned by the caller.
    virtual Font* Duplicate() = 0;

protected:
    int32_t mAscent = 0;
    int32_t mAscentPadding = 0;
    int32_t mHeight = 0;
    int32_t mLineSpacingOffset = 0;
};

} // namespace Lumo
