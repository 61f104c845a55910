#include "framework/graphics/images/MemoryImage.h"

#include "framework/graphics/images/BlitSource.h"
#include "framework/graphics/images/PixelBlend.h"
#include "framework/graphics/images/PixelKernels.h"

#include <algorithm>
#include <vector>

namespace Lumo {

namespace {

// Cuts the placement of area at (x, y) to the destination, moving the source
// (and mask) origin along. False when nothing is left to draw.
bool ClipPlacement(int32_t& x, int32_t& y, Rect& area, Rect* mask, const Image& dest)
{
    const Rect placed = Rect{x, y, area.mWidth, area.mHeight}.Intersect(Rect{0, 0, dest.mWidth, dest.mHeight});
    if (placed.mWidth <= 0 || placed.mHeight <= 0)
        return false;
    const int32_t dx = placed.mX - x;
    const int32_t dy = placed.mY - y;
    area = Rect{area.mX + dx, area.mY + dy, placed.mWidth, placed.mHeight};
    if (mask)
        *mask = Rect{mask->mX + dx, mask->mY + dy, placed.mWidth, placed.mHeight};
    x = placed.mX;
    y = placed.mY;
    return true;
}

// The rows of one clipped blit: visit(j, source row, destination row).
class BlitRows {
public:
    BlitRows(uint32_t* dest, int32_t destWidth, int32_t x, int32_t y, const BlitSource& source, const Rect& area)
        : mDest(dest), mDestWidth(destWidth), mX(x), mY(y), mSource(source), mArea(area),
          mScratch(source.NeedsScratch() ? size_t(area.mWidth) : 0)
    {
    }

    template <typename Visit>
    void ForEach(Visit visit)
    {
        for (int32_t j = 0; j < mArea.mHeight; ++j) {
            uint32_t* destRow = mDest + size_t(mY + j) * size_t(mDestWidth) + size_t(mX);
            visit(j, mSource.Row(mArea.mX, mArea.mY + j, mArea.mWidth, mScratch.data()), destRow);
        }
    }

    // visit(first row, destination, its pitch, source, its pitch, rows) over
    // all rows at once when the source is read in place, else row by row.
    template <typename Visit>
    void ForAll(Visit visit)
    {
        if (!mSource.NeedsScratch()) {
            visit(0, mDest + size_t(mY) * size_t(mDestWidth) + size_t(mX), size_t(mDestWidth),
                  mSource.Row(mArea.mX, mArea.mY, mArea.mWidth, nullptr), mSource.Pitch(), mArea.mHeight);
            return;
        }
        ForEach([&](int32_t j, const uint32_t* source, uint32_t* dest) { visit(j, dest, 0, source, 0, 1); });
    }

private:
    uint32_t* mDest;
    int32_t mDestWidth;
    int32_t mX;
    int32_t mY;
    const BlitSource& mSource;
    Rect mArea;
    std::vector<uint32_t> mScratch;
};

// Opaque destination, white colour: each row walks the source's alpha runs.
void BlitRuns(BlitRows& rows, const uint8_t* runs, int32_t runPitch, const Rect& area)
{
    rows.ForAll([&](int32_t j, uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch,
                    int32_t height) {
        PixelKernels::BlendRuns(dest, destPitch, source, sourcePitch,
                                runs + size_t(area.mY + j) * size_t(runPitch) + size_t(area.mX), size_t(runPitch),
                                area.mWidth, height);
    });
}

template <bool White, bool Translucent>
void BlitAdditive(BlitRows& rows, int32_t width, const uint32_t* scale)
{
    rows.ForAll([&](int32_t, uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch,
                    int32_t height) {
        PixelKernels::AddRows<White, Translucent>(dest, destPitch, source, sourcePitch, width, height, scale);
    });
}

} // namespace

void MemoryImage::Blit(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    source->mDrawn = true;
    auto* image = dynamic_cast<MemoryImage*>(source);
    Rect area = srcRect;
    if (!image || (drawMode != 0 && drawMode != 1) || !image->ContainsRect(srcRect) ||
        !ClipPlacement(x, y, area, nullptr, *this))
        return;
    uint32_t* pixels = GetPixelBits();
    std::vector<uint32_t> snapshot;
    const BlitSource from = image == this ? BlitSource(*image, area, snapshot) : BlitSource(*image);
    if (!pixels || !from.IsValid())
        return;
    BlitRows rows(pixels, mWidth, x, y, from, area);
    const bool white = color == Color::White;
    const int32_t width = area.mWidth;

    if (drawMode == 1) {
        const PixelBlend::Tint tint(color);
        const uint32_t scale[3] = {tint.red * tint.alpha / 255, tint.green * tint.alpha / 255,
                                   tint.blue * tint.alpha / 255};
        const bool translucent = image->hasTranslucency;
        if (white)
            translucent ? BlitAdditive<true, true>(rows, width, scale) : BlitAdditive<true, false>(rows, width, scale);
        else
            translucent ? BlitAdditive<false, true>(rows, width, scale)
                        : BlitAdditive<false, false>(rows, width, scale);
    } else if (white && !hasTransparency && !hasTranslucency) {
        BlitRuns(rows, image->GetRunLengthAlphaData(), image->mWidth, area);
    } else {
        rows.ForAll([&](int32_t, uint32_t* dest, size_t destPitch, const uint32_t* from, size_t sourcePitch,
                        int32_t height) {
            if (white)
                PixelKernels::Over(dest, destPitch, from, sourcePitch, width, height);
            else
                PixelKernels::OverTinted(dest, destPitch, from, sourcePitch, width, height, color);
        });
    }
    MarkBitsChanged();
}

void MemoryImage::BlitFloat(Image* source, float x, float y, const Rect& srcRect, const Rect& clip,
                           const Color& color, int drawMode)
{
    source->mDrawn = true;
    BlitRotated(source, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

void MemoryImage::BlitWithAlphaMask(Image* source, int x, int y, const Rect& srcRect, Image* mask,
                                    const Rect& maskRect, const Color& color, int drawMode)
{
    source->mDrawn = true;
    mask->mDrawn = true;
    auto* image = dynamic_cast<MemoryImage*>(source);
    auto* maskImage = dynamic_cast<MemoryImage*>(mask);
    Rect area = srcRect;
    Rect maskArea{maskRect.mX, maskRect.mY, srcRect.mWidth, srcRect.mHeight};
    if (drawMode != 0 || !image || !maskImage || !image->ContainsRect(srcRect) ||
        !maskImage->ContainsRect(maskArea) || !ClipPlacement(x, y, area, &maskArea, *this))
        return;
    uint32_t* pixels = GetPixelBits();
    std::vector<uint32_t> snapshot;
    const BlitSource from = image == this ? BlitSource(*image, area, snapshot) : BlitSource(*image);
    std::vector<uint32_t> maskSnapshot;
    const BlitSource maskFrom = maskImage == this ? BlitSource(*maskImage, maskArea, maskSnapshot)
                                                  : BlitSource(*maskImage);
    if (!pixels || !from.IsValid() || !maskFrom.IsValid())
        return;
    BlitRows rows(pixels, mWidth, x, y, from, area);
    std::vector<uint32_t> maskScratch(size_t(area.mWidth));
    const bool white = color == Color::White;
    const bool runPath = white && !hasTransparency && !hasTranslucency;
    const uint8_t* runs = runPath ? image->GetRunLengthAlphaData() : nullptr;
    const PixelBlend::Tint tint(color);

    rows.ForEach([&](int32_t j, const uint32_t* source, uint32_t* dest) {
        // The mask value is the blue byte of the mask pixel.
        const uint32_t* maskRow = maskFrom.Row(maskArea.mX, maskArea.mY + j, area.mWidth, maskScratch.data());
        if (runPath) {
            const uint8_t* rowRuns = runs + size_t(area.mY + j) * size_t(image->mWidth) + size_t(area.mX);
            int32_t i = 0;
            while (i < area.mWidth) {
                const int32_t count = std::min(std::max(int32_t(rowRuns[i]), 1), area.mWidth - i);
                const uint32_t alpha = source[i] >> 24;
                for (int32_t k = i; alpha != 0 && k < i + count; ++k) {
                    const uint32_t m = maskRow[k] & 0xFF;
                    const uint32_t w = alpha == 255 ? m : (source[k] >> 24) * m / 255;
                    if (w != 0)
                        dest[k] = PixelBlend::MixLaneShifted(dest[k], source[k], w) | 0xFF000000;
                }
                i += count;
            }
            return;
        }
        for (int32_t i = 0; i < area.mWidth; ++i) {
            const uint32_t s = source[i];
            const uint32_t m = maskRow[i] & 0xFF;
            const uint32_t ea = white ? (s >> 24) * m / 255 : (s >> 24) * m * tint.alpha / 65025;
            if (ea == 0)
                continue;
            if (white) {
                dest[i] = PixelBlend::OverLaneShifted(dest[i], s, ea);
            } else {
                const uint32_t oa = PixelBlend::OverAlpha(dest[i] >> 24, ea);
                dest[i] = PixelBlend::TintMix(dest[i], s, PixelBlend::OverWeight(ea, oa), tint) | oa << 24;
            }
        }
    });
    MarkBitsChanged();
}

} // namespace Lumo
