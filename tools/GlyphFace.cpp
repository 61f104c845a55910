#include "tools/GlyphFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

// The file of DejaVu Sans in the asked weight, as fontconfig finds it.
std::string FaceFile(bool bold)
{
    std::string path;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr)
        return path;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("DejaVu Sans"));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return path;
}

} // namespace

GlyphFace::GlyphFace(bool bold, int pixelSize)
{
    const std::string path = FaceFile(bold);
    if (path.empty() || FT_Init_FreeType(&mLibrary) != 0)
        return;
    if (FT_New_Face(mLibrary, path.c_str(), 0, &mFace) != 0) {
        mFace = nullptr;
        return;
    }
    if (FT_Set_Pixel_Sizes(mFace, 0, FT_UInt(pixelSize)) != 0) {
        FT_Done_Face(mFace);
        mFace = nullptr;
        return;
    }
    mAscent = int((mFace->size->metrics.ascender + 63) >> 6);
    mDescent = int((-mFace->size->metrics.descender + 63) >> 6);
}

GlyphFace::~GlyphFace()
{
    if (mFace != nullptr)
        FT_Done_Face(mFace);
    if (mLibrary != nullptr)
        FT_Done_FreeType(mLibrary);
}

GlyphFace::Glyph GlyphFace::Render(char c) const
{
    Glyph glyph;
    if (mFace == nullptr || FT_Load_Char(mFace, FT_ULong(uint8_t(c)), FT_LOAD_RENDER) != 0)
        return glyph;
    const FT_GlyphSlot slot = mFace->glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = int(slot->bitmap.width);
    glyph.height = int(slot->bitmap.rows);
    glyph.advance = int((slot->advance.x + 32) >> 6);
    glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.height));
    for (int y = 0; y < glyph.height; ++y) {
        const uint8_t* row = slot->bitmap.buffer + y * slot->bitmap.pitch;
        std::copy(row, row + glyph.width, glyph.coverage.begin() + y * glyph.width);
    }
    return glyph;
}

int GlyphFace::TextWidth(const std::string& text) const
{
    int width = 0;
    for (char c : text)
        width += Render(c).advance;
    return width;
}
