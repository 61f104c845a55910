#pragma once

#include "platform/windows/WindowTypes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace Platform {

// The font of a dialog control, as CreateFontA would make it from a face
// name, a height and a weight, drawn with the installed face that stands in
// for it. Draws code page 1252 text into 32-bit pixels.
class SdlDialogFace {
public:
    SdlDialogFace(const std::string& faceName, int32_t height, int32_t weight);
    ~SdlDialogFace();
    SdlDialogFace(const SdlDialogFace&) = delete;
    SdlDialogFace& operator=(const SdlDialogFace&) = delete;

    bool IsOpen() const { return mFace != nullptr; }
    int32_t LineHeight() const { return mLineHeight; }
    int32_t Width(const std::string& text);
    // Draws one line with its top at y, clipped to the rectangle.
    void Draw(const std::string& text, int32_t x, int32_t y, const RECT& clip, uint32_t color, uint32_t* pixels,
              int32_t pitch);
    // The text broken into lines that fit the width: at line breaks, between
    // words, and inside a word too long for a line.
    std::vector<std::string> Wrap(const std::string& text, int32_t width);

private:
    struct Glyph {
        int32_t left = 0;
        int32_t top = 0;
        int32_t width = 0;
        int32_t height = 0;
        int32_t advance = 0;
        std::vector<uint8_t> coverage;
    };
    const Glyph& GlyphOf(char c);

    FT_LibraryRec_* mLibrary = nullptr;
    FT_FaceRec_* mFace = nullptr;
    int32_t mAscent = 0;
    int32_t mLineHeight = 0;
    std::array<std::optional<Glyph>, 256> mGlyphs;
};

} // namespace Platform
