#include "framework/graphics/images/MemoryImage.h"

#include "framework/graphics/images/BlitGeometry.h"
#include "framework/graphics/images/BlitSource.h"
#include "framework/graphics/images/PixelBlend.h"

#include <algorithm>
#include <cmath>

namespace Lumo {

namespace {

int64_t FloorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The columns k of [first, last] for which 0 <= start + k * step < limit.
// Found by division so that the pixel loop tests nothing.
void NarrowColumns(int64_t start, int64_t step, int64_t limit, int64_t& first, int64_t& last)
{
    if (step == 0) {
        if (start < 0 || start >= limit)
            last = first - 1;
        return;
    }
    if (step > 0) {
        first = std::max(first, -FloorDiv(start, step));
        last = std::min(last, FloorDiv(limit - 1 - start, step));
    } else {
        first = std::max(first, FloorDiv(start - limit, -step) + 1);
        last = std::min(last, FloorDiv(start, -step));
    }
}

// A 16.16 position; one far outside any image (or not a number) becomes a
// position left of every source, so its row is skipped.
int64_t ToFixed(double position)
{
    constexpr double kFar = 1099511627776.0;
    const double fixed = position * 65536;
    return fixed > -kFar && fixed < kFar ? int64_t(fixed) : -int64_t(kFar);
}

// The 2 x 2 texels under a 16.16 position, weighted by area and alpha.
struct Sample {
    uint32_t total;    // filtered alpha, 0..255
    uint32_t sum[3];   // red, green, blue times their weights: premultiplied, 8.8
};

template <typename Plane>
Sample Filter(const Plane& plane, int32_t originX, int32_t originY, int32_t u, int32_t v, uint32_t alphaScale)
{
    const int32_t i = originX + (u >> 16);
    const int32_t l = originY + (v >> 16);
    const uint32_t fx = (uint32_t(u) & 0xFFFE) + 1;
    const uint32_t fy = (uint32_t(v) & 0xFFFE) + 1;
    const uint32_t texels[4] = {plane(i, l), plane(i + 1, l), plane(i, l + 1), plane(i + 1, l + 1)};
    const uint32_t areas[4] = {(0x10000 - fx) * (0x10000 - fy) >> 16, fx * (0x10000 - fy) >> 16,
                               (0x10000 - fx) * fy >> 16, fx * fy >> 16};
    Sample sample{0, {0, 0, 0}};
    for (int t = 0; t < 4; ++t) {
        uint32_t weight = (areas[t] * (texels[t] >> 24)) >> 16;
        if (alphaScale != 256)
            weight = (weight * alphaScale) >> 8;
        sample.total += weight;
        sample.sum[0] += ((texels[t] >> 16) & 0xFF) * weight;
        sample.sum[1] += ((texels[t] >> 8) & 0xFF) * weight;
        sample.sum[2] += (texels[t] & 0xFF) * weight;
    }
    return sample;
}

// Premultiplied colour sums of alpha total over d.
uint32_t Composite(uint32_t d, const uint32_t* sum, uint32_t total)
{
    if (total >= 251)
        return 0xFF000000 | (sum[0] >> 8) << 16 | (sum[1] >> 8) << 8 | (sum[2] >> 8);
    const uint32_t da = d >> 24;
    const uint32_t hidden = (256 - da) * (256 - total) >> 8;
    const uint32_t coverage = 256 - hidden;
    uint32_t result = (255 - hidden) << 24;
    for (int c = 0; c < 3; ++c) {
        const uint32_t shift = 16 - 8 * c;
        const uint32_t channel = ((((d >> shift) & 0xFF) * da) >> 8) * (256 - total) + sum[c];
        result |= (da == 255 ? channel >> 8 : channel / coverage) << shift;
    }
    return result;
}

} // namespace

void MemoryImage::BlitRotated(Image* source, float x, float y, const Rect& srcRect, const Rect& clip,
                              const Color& color, int drawMode, double angle, float centerX, float centerY)
{
    source->mDrawn = true;
    const Rect area = clip.Intersect(Rect{0, 0, mWidth, mHeight});
    FRect bounds;
    if (!GetRotatedBlitBounds(x, y, srcRect, FRect{double(area.mX), double(area.mY), double(area.mWidth),
                                                    double(area.mHeight)},
                              bounds, angle, centerX, centerY))
        return;
    auto* image = dynamic_cast<MemoryImage*>(source);
    // 16.16 positions need the rectangle below 32768 pixels a side.
    if (!image || !image->ContainsRect(srcRect) || srcRect.mWidth >= 32768 || srcRect.mHeight >= 32768)
        return;
    uint32_t* pixels = GetPixelBits();
    const BlitSource from(*image);
    if (!pixels || !from.IsValid())
        return;

    const double cosA = std::cos(angle);
    const double sinA = std::sin(angle);
    const int32_t stepU = int32_t(cosA * 65536);
    const int32_t stepV = int32_t(sinA * 65536);
    const int32_t left = int32_t(bounds.mX);
    const int32_t top = int32_t(bounds.mY);
    const int64_t lastColumn = std::min(int64_t(bounds.mWidth - 1), int64_t(mWidth) - 1 - left);
    const float a = float(left) - centerX - x;
    const int64_t limitU = int64_t(srcRect.mWidth - 1) << 16;
    const int64_t limitV = int64_t(srcRect.mHeight - 1) << 16;

    const bool white = color.IsWhite();
    const uint32_t tint[3] = {uint32_t(std::clamp(color.mRed, 0, 255)), uint32_t(std::clamp(color.mGreen, 0, 255)),
                              uint32_t(std::clamp(color.mBlue, 0, 255))};
    const uint32_t tintAlpha = uint32_t(std::clamp(color.mAlpha, 0, 255));
    uint32_t addScale[3];
    for (int c = 0; c < 3; ++c)
        addScale[c] = tint[c] * tintAlpha / 255;

    from.VisitPlane([&](const auto& plane) {
        for (int32_t j = 0; j < bounds.mHeight && top + j < mHeight; ++j) {
            const int32_t row = top + j;
            const float b = float(row) - centerY - y;
            const int64_t u0 = ToFixed(a * cosA - b * sinA + centerX);
            const int64_t v0 = ToFixed(a * sinA + b * cosA + centerY);
            int64_t first = 0;
            int64_t last = lastColumn;
            NarrowColumns(u0, stepU, limitU, first, last);
            NarrowColumns(v0, stepV, limitV, first, last);
            if (first > last)
                continue;
            int32_t u = int32_t(u0 + first * stepU);
            int32_t v = int32_t(v0 + first * stepV);
            uint32_t* dest = pixels + size_t(row) * size_t(mWidth) + size_t(left);
            for (int64_t k = first; k <= last; ++k, u += stepU, v += stepV) {
                uint32_t& d = dest[k];
                if (drawMode == 0) {
                    Sample sample = Filter(plane, srcRect.mX, srcRect.mY, u, v, white ? 256 : tintAlpha);
                    if (sample.total == 0)
                        continue;
                    if (!white) {
                        for (int c = 0; c < 3; ++c)
                            sample.sum[c] = sample.sum[c] * (tint[c] + 1) >> 8;
                    }
                    d = Composite(d, sample.sum, sample.total);
                } else {
                    const Sample sample = Filter(plane, srcRect.mX, srcRect.mY, u, v, 256);
                    if (sample.total == 0)
                        continue;
                    uint32_t result = d & 0xFF000000;
                    for (int c = 0; c < 3; ++c) {
                        const uint32_t shift = 16 - 8 * c;
                        const uint32_t add = white ? sample.sum[c] >> 8 : ((sample.sum[c] >> 8) * addScale[c]) >> 8;
                        result |= PixelBlend::AddClamped((d >> shift) & 0xFF, add) << shift;
                    }
                    d = result;
                }
            }
        }
    });
    MarkBitsChanged();
}

} // namespace Lumo
