#include "tools/GlyphFace.h"

#include "platform/storage/FontFiles.h"

#include <ft2build.h>
#include FT_FREETYPE_H

GlyphFace::GlyphFace(bool bold, int pixelSize)
{
    std::string path;
    int index = 0;
    if (!Platform::FindFontFile("DejaVu Sans", bold, &path, &index) || FT_Init_FreeType(&mLibrary) != 0)
        return;
    if (FT_New_Face(mLibrary, path.c_str(), index, &mFace) != 0) {
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
