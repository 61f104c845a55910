#include "framework/graphics/fonts/SysFont.h"

#include "framework/core/AppLog.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/ImageHost.h"
#include "framework/graphics/images/MemoryImage.h"
#include "platform/storage/FontFiles.h"
#include "platform/windows/TextCodec.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <mutex>
#include <typeinfo>
#include <vector>

namespace Lumo {

// The face a SysFont renders with, opened from the file fontconfig chose.
struct FaceRecord {
    FT_Face face = nullptr;
    std::string path;
    int index = 0;
    int pixelSize = 0;
};

namespace {

constexpr int kDotsPerInch = 96;

// FreeType objects are not safe to use from two threads at once.
struct FreeTypeLibrary {
    std::mutex lock;
    FT_Library library = nullptr;
    FreeTypeLibrary()
    {
        if (FT_Init_FreeType(&library) != 0)
            library = nullptr;
    }
};

FreeTypeLibrary& GetFreeType()
{
    static FreeTypeLibrary freeType;
    return freeType;
}

// Caller holds the FreeType lock.
FaceRecord* OpenFace(const std::string& path, int index, int pixelSize)
{
    FT_Library library = GetFreeType().library;
    FT_Face face = nullptr;
    if (library == nullptr || FT_New_Face(library, path.c_str(), index, &face) != 0)
        return nullptr;
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::max(pixelSize, 1))) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    return new FaceRecord{face, path, index, pixelSize};
}

std::vector<uint32_t> CodePoints(const std::string& text)
{
    const std::string utf8 = Platform::Utf8FromCp1252(text);
    std::vector<uint32_t> points;
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t lead = uint8_t(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        uint32_t point = extra == 0 ? lead : lead & (0x3Fu >> extra);
        for (int k = 1; k <= extra && i + size_t(k) < utf8.size(); ++k)
            point = (point << 6) | (uint8_t(utf8[i + size_t(k)]) & 0x3Fu);
        points.push_back(point);
        i += size_t(extra) + 1;
    }
    return points;
}

// The advance of one glyph in whole pixels, as the hinted layout places it.
int Advance(FT_Face face, uint32_t point)
{
    if (FT_Load_Char(face, point, FT_LOAD_DEFAULT) != 0)
        return 0;
    return int((face->glyph->advance.x + 32) >> 6);
}

bool IsLineBreak(uint32_t point) { return point == '\n' || point == '\r'; }

} // namespace

SysFont::SysFont(AppImageServices* app, const std::string& faceName, int pointSize, int charSet) : mApp(app)
{
    (void)charSet;
    std::string path;
    int index = 0;
    // MulDiv rounds to the nearest pixel.
    const int pixelSize = (pointSize * kDotsPerInch + 36) / 72;
    {
        std::lock_guard<std::mutex> lock(GetFreeType().lock);
        if (Platform::FindFontFile(faceName, false, &path, &index))
            mFontHandle = OpenFace(path, index, pixelSize);
    }
    if (mFontHandle == nullptr)
        AppLog::GetInstance()->Printf(AppLog::kToFile, "[ERROR] SysFont - no face for %s", faceName.c_str());
    ReadMetrics();
}

SysFont::SysFont(const SysFont& other) : Font(other), mApp(other.mApp)
{
    if (other.mFontHandle != nullptr) {
        std::lock_guard<std::mutex> lock(GetFreeType().lock);
        mFontHandle = OpenFace(other.mFontHandle->path, other.mFontHandle->index, other.mFontHandle->pixelSize);
    }
}

SysFont::~SysFont()
{
    if (mFontHandle == nullptr)
        return;
    std::lock_guard<std::mutex> lock(GetFreeType().lock);
    FT_Done_Face(mFontHandle->face);
    delete mFontHandle;
}

Font* SysFont::Duplicate() { return new SysFont(*this); }

void SysFont::ReadMetrics()
{
    if (mFontHandle == nullptr)
        return;
    const FT_Size_Metrics& metrics = mFontHandle->face->size->metrics;
    mAscent = int32_t((metrics.ascender + 63) >> 6);
    mHeight = mAscent + int32_t((-metrics.descender + 63) >> 6);
}

// Lines break at line feeds; the widest line is the width.
int SysFont::StringWidth(const std::string& text)
{
    if (mFontHandle == nullptr)
        return 0;
    std::lock_guard<std::mutex> lock(GetFreeType().lock);
    int widest = 0;
    int line = 0;
    for (uint32_t point : CodePoints(text)) {
        if (point == '\n')
            line = 0;
        else if (!IsLineBreak(point))
            line += Advance(mFontHandle->face, point);
        widest = std::max(widest, line);
    }
    return widest;
}

void SysFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect&)
{
    // The context's placeholder destination shows nothing.
    if (mFontHandle == nullptr || typeid(*g->mDestImage) == typeid(Image))
        return;
    const int width = StringWidth(text);
    const int height = mHeight;
    if (width <= 0 || height <= 0)
        return;

    // Coverage of the text, one line, its top at the top of the line.
    std::vector<uint8_t> coverage(size_t(width) * size_t(height), 0);
    {
        std::lock_guard<std::mutex> lock(GetFreeType().lock);
        FT_Face face = mFontHandle->face;
        int pen = 0;
        for (uint32_t point : CodePoints(text)) {
            if (IsLineBreak(point) || FT_Load_Char(face, point, FT_LOAD_RENDER) != 0)
                continue;
            const FT_Bitmap& bitmap = face->glyph->bitmap;
            const int left = pen + face->glyph->bitmap_left;
            const int top = mAscent - face->glyph->bitmap_top;
            for (int row = 0; row < int(bitmap.rows); ++row) {
                const int destY = top + row;
                if (destY < 0 || destY >= height)
                    continue;
                const uint8_t* source = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
                for (int column = 0; column < int(bitmap.width); ++column) {
                    const int destX = left + column;
                    if (destX < 0 || destX >= width)
                        continue;
                    uint8_t& cell = coverage[size_t(destY) * size_t(width) + size_t(destX)];
                    cell = uint8_t(std::min(255, cell + source[column]));
                }
            }
            pen += int((face->glyph->advance.x + 32) >> 6);
        }
    }

    const uint32_t rgb = (uint32_t(color.mRed & 0xFF) << 16) | (uint32_t(color.mGreen & 0xFF) << 8) |
                         uint32_t(color.mBlue & 0xFF);
    std::vector<uint32_t> pixels(coverage.size());
    for (size_t i = 0; i < coverage.size(); ++i)
        pixels[i] = coverage[i] == 0 ? 0 : (uint32_t(coverage[i]) << 24) | rgb;
    auto* destination = dynamic_cast<MemoryImage*>(g->mDestImage);
    MemoryImage image(destination != nullptr ? destination->app : &ImageHost::Current());
    image.SetBits(pixels.data(), width, height, true);
    g->DrawImage(&image, x, y - mAscent);
}

uint32_t SysFont::RecoverTextPixel(uint32_t onWhite, uint32_t onBlack)
{
    if (onWhite == onBlack)
        return onWhite | 0xFF000000u;
    if ((onWhite & 0xFFFFFF) == 0xFFFFFF && (onBlack & 0xFFFFFF) == 0)
        return 0;
    uint32_t result = 0;
    uint32_t alpha = 255;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t white = (onWhite >> shift) & 0xFF;
        const uint32_t black = (onBlack >> shift) & 0xFF;
        const uint32_t a = black + 255 - white;
        // No coverage left in this channel: it contributes nothing.
        const uint32_t channel = a == 0 ? 0 : std::min(255u, black * 255 / a);
        result |= channel << shift;
        alpha = std::min(alpha, a);
    }
    return result | (alpha << 24);
}

} // namespace Lumo
