#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One installed DejaVu face at one pixel size, rendered through FreeType: the
// glyph coverage bitmaps the font strips and the pictures' lettering are made
// from.
class GlyphFace {
public:
    struct Glyph {
        int left = 0;    // bitmap's left edge from the pen
        int top = 0;     // bitmap's top edge above the baseline
        int width = 0;
        int height = 0;
        int advance = 0; // whole pixels
        std::vector<uint8_t> coverage; // width x height, 0..255
    };

    GlyphFace(bool bold, int pixelSize);
    ~GlyphFace();
    GlyphFace(const GlyphFace&) = delete;
    GlyphFace& operator=(const GlyphFace&) = delete;

    bool IsOpen() const { return mFace != nullptr; }
    int Ascent() const { return mAscent; }
    int Descent() const { return mDescent; }
    Glyph Render(char c) const;
    int TextWidth(const std::string& text) const;

private:
    struct FT_LibraryRec_* mLibrary = nullptr;
    struct FT_FaceRec_* mFace = nullptr;
    int mAscent = 0;
    int mDescent = 0;
};
