#include "platform/backends/sdl/SdlDialogFace.h"

#include "platform/process/Log.h"
#include "platform/storage/FontFiles.h"
#include "platform/windows/TextCodec.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>

namespace Platform {

namespace {

uint32_t Blend(uint32_t under, uint32_t over, uint32_t coverage)
{
    uint32_t out = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t a = (under >> shift) & 0xFF;
        const uint32_t b = (over >> shift) & 0xFF;
        out |= ((a * (255 - coverage) + b * coverage) / 255) << shift;
    }
    return out;
}

} // namespace

SdlDialogFace::SdlDialogFace(const std::string& faceName, int32_t height, int32_t weight)
{
    std::string path;
    int index = 0;
    if (!FindFontFile(faceName, weight >= 600, &path, &index) || FT_Init_FreeType(&mLibrary) != 0) {
        LogLine("Dialog font: no face for " + faceName);
        return;
    }
    if (FT_New_Face(mLibrary, path.c_str(), index, &mFace) != 0) {
        mFace = nullptr;
        return;
    }
    // A negative height is the character height; a positive one the cell's.
    FT_Set_Pixel_Sizes(mFace, 0, FT_UInt(std::max(1, std::abs(height))));
    mAscent = int32_t((mFace->size->metrics.ascender + 63) >> 6);
    mLineHeight = mAscent + int32_t((-mFace->size->metrics.descender + 63) >> 6);
}

SdlDialogFace::~SdlDialogFace()
{
    if (mFace)
        FT_Done_Face(mFace);
    if (mLibrary)
        FT_Done_FreeType(mLibrary);
}

const SdlDialogFace::Glyph& SdlDialogFace::GlyphOf(char c)
{
    std::optional<Glyph>& slot = mGlyphs[static_cast<unsigned char>(c)];
    if (slot)
        return *slot;
    slot = Glyph();
    if (mFace && FT_Load_Char(mFace, CodePointOf(static_cast<unsigned char>(c)), FT_LOAD_RENDER) == 0) {
        const FT_GlyphSlot glyph = mFace->glyph;
        slot->left = glyph->bitmap_left;
        slot->top = glyph->bitmap_top;
        slot->width = int32_t(glyph->bitmap.width);
        slot->height = int32_t(glyph->bitmap.rows);
        slot->advance = int32_t((glyph->advance.x + 32) >> 6);
        slot->coverage.resize(size_t(slot->width) * size_t(slot->height));
        for (int32_t row = 0; row < slot->height; ++row)
            std::copy_n(glyph->bitmap.buffer + row * glyph->bitmap.pitch, slot->width,
                        slot->coverage.begin() + row * slot->width);
    }
    return *slot;
}

int32_t SdlDialogFace::Width(const std::string& text)
{
    int32_t width = 0;
    for (char c : text)
        width += GlyphOf(c).advance;
    return width;
}

void SdlDialogFace::Draw(const std::string& text, int32_t x, int32_t y, const RECT& clip, uint32_t color,
                         uint32_t* pixels, int32_t pitch)
{
    const int32_t baseline = y + mAscent;
    for (char c : text) {
        const Glyph& glyph = GlyphOf(c);
        for (int32_t row = 0; row < glyph.height; ++row) {
            const int32_t py = baseline - glyph.top + row;
            if (py < clip.top || py >= clip.bottom)
                continue;
            for (int32_t col = 0; col < glyph.width; ++col) {
                const int32_t px = x + glyph.left + col;
                const uint32_t coverage = glyph.coverage[size_t(row * glyph.width + col)];
                if (px < clip.left || px >= clip.right || coverage == 0)
                    continue;
                uint32_t& pixel = pixels[size_t(py) * size_t(pitch) + size_t(px)];
                pixel = Blend(pixel, color, coverage);
            }
        }
        x += glyph.advance;
    }
}

std::vector<std::string> SdlDialogFace::Wrap(const std::string& text, int32_t width)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r')
            paragraph.pop_back();
        std::string line;
        int32_t lineWidth = 0;
        size_t lastSpace = std::string::npos;
        for (char c : paragraph) {
            const int32_t advance = GlyphOf(c).advance;
            if (lineWidth + advance > width && !line.empty()) {
                // Break after the last blank when there is one, else here.
                std::string rest;
                if (lastSpace != std::string::npos) {
                    rest = line.substr(lastSpace + 1);
                    line.erase(lastSpace);
                }
                lines.push_back(line);
                line = rest;
                lineWidth = Width(line);
                lastSpace = std::string::npos;
            }
            if (c == ' ')
                lastSpace = line.size();
            line += c;
            lineWidth += advance;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace Platform
