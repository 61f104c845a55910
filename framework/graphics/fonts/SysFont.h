#pragma once

#include "framework/graphics/fonts/Font.h"

#include <cstdint>
#include <string>

namespace Lumo {

class AppImageServices;

// A font of the system's text rendering, drawn through a temporary image so
// that the drawing context's translation, clipping and blending apply. Face
// names of the program map onto an installed free face; sizes are points at
// 96 pixels per inch.
class SysFont : public Font {
public:
    SysFont(AppImageServices* app, const std::string& faceName, int pointSize, int charSet);
    // Opens a face of its own.
    SysFont(const SysFont& other);
    ~SysFont() override;

    int StringWidth(const std::string& text) override;
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

    // One pixel of text rendered on white (onWhite) and on black (onBlack)
    // back to a colour with alpha; 0xFFRRGGBB words, blue in the low byte.
    static uint32_t RecoverTextPixel(uint32_t onWhite, uint32_t onBlack);

    // Null when no face could be opened: the font then measures 0 and draws
    // nothing.
    struct FaceRecord* mFontHandle = nullptr;
    AppImageServices* mApp;

private:
    void ReadMetrics();
};

} // namespace Lumo
