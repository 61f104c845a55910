#include "framework/graphics/images/MemoryImage.h"

#include "framework/graphics/images/BlitGeometry.h"
#include "framework/graphics/images/PixelKernels.h"
#include "framework/graphics/images/SmoothStretchBlit.h"

#include <algorithm>
#include <vector>

namespace Lumo {

namespace {

// Nearest sample: row j of dest takes source row trunc(F.y + j * stepY),
// column i source column trunc(F.x + i * stepX).
void QuickStretch(uint32_t* dest, int32_t destWidth, const Rect& area, const uint32_t* source, int32_t sourceWidth,
                  int32_t sourceHeight, const FRect& from)
{
    const double stepX = from.mWidth / area.mWidth;
    const double stepY = from.mHeight / area.mHeight;
    std::vector<int32_t> columns(size_t(area.mWidth));
    for (int32_t i = 0; i < area.mWidth; ++i)
        columns[size_t(i)] = std::clamp(int32_t(from.mX + i * stepX), 0, sourceWidth - 1);
    std::vector<uint32_t> samples(size_t(area.mWidth));
    for (int32_t j = 0; j < area.mHeight; ++j) {
        const int32_t sourceRow = std::clamp(int32_t(from.mY + j * stepY), 0, sourceHeight - 1);
        const uint32_t* sourceLine = source + size_t(sourceRow) * size_t(sourceWidth);
        PixelKernels::Gather(samples.data(), sourceLine, sourceWidth, columns.data(), area.mWidth);
        PixelKernels::Over(dest + size_t(area.mY + j) * size_t(destWidth) + size_t(area.mX), 0, samples.data(), 0,
                           area.mWidth, 1);
    }
}

} // namespace

void MemoryImage::BlitStretched(Image* source, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                const Color& color, int, bool quick)
{
    source->mDrawn = true;
    auto* image = dynamic_cast<MemoryImage*>(source);
    Rect area;
    FRect from;
    if (!image || !image->ContainsRect(srcRect) ||
        !GetStretchBlitRects(destRect, srcRect, clip.Intersect(Rect{0, 0, mWidth, mHeight}), area, from))
        return;
    if (area.mWidth <= 0 || area.mHeight <= 0)
        return;
    uint32_t* pixels = GetPixelBits();
    if (!quick) {
        SmoothStretchBlit(this, image, area, from);
    } else if (color.IsWhite()) {
        // The quick stretch has no colour path: a tinted one draws nothing.
        const uint32_t* sourcePixels = image->GetPixelBits();
        if (pixels && sourcePixels)
            QuickStretch(pixels, mWidth, area, sourcePixels, image->mWidth, image->mHeight, from);
    }
    MarkBitsChanged();
}

} // namespace Lumo
