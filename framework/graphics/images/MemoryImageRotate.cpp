#include "framework/graphics/images/MemoryImage.h"

#include "framework/graphics/images/BilinearLanes.h"
#include "framework/graphics/images/BlitGeometry.h"
#include "framework/graphics/images/BlitSource.h"
#include "framework/graphics/images/PixelBlend.h"
#include "framework/graphics/images/PixelKernels.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Four destination pixels of a row drawn as Filter and Composite draw them,
// for a destination known to be opaque: 16-bit lanes, two pixels a register.
class FilterOverOpaque {
public:
    // tint: each colour component plus one, blue first; null for white.
    FilterOverOpaque(uint32_t alphaScale, const uint32_t* tint)
        : mAlphaScale(_mm_set1_epi16(short(alphaScale))), mScaled(alphaScale != 256), mTinted(tint != nullptr),
          mTint(tint ? _mm_set_epi16(0, short(tint[2]), short(tint[1]), short(tint[0]), 0, short(tint[2]),
                                     short(tint[1]), short(tint[0]))
                     : _mm_setzero_si128())
    {
    }

    // Positions step by stepU, stepV from one pixel to the next.
    void Draw4(uint32_t* dest, const auto& plane, int32_t originX, int32_t originY, int32_t u, int32_t v,
               int32_t stepU, int32_t stepV) const
    {
        // Texels 0, 1 of pixels 0 and 1 (then 2 and 3) and the pair below.
        __m128i top[2];
        __m128i bottom[2];
        for (int pair = 0; pair < 2; ++pair) {
            const int32_t i = originX + (u >> 16);
            const int32_t l = originY + (v >> 16);
            const int32_t nextI = originX + ((u + stepU) >> 16);
            const int32_t nextL = originY + ((v + stepV) >> 16);
            top[pair] = _mm_unpacklo_epi32(TexelPair(plane, i, l), TexelPair(plane, nextI, nextL));
            bottom[pair] = _mm_unpacklo_epi32(TexelPair(plane, i, l + 1), TexelPair(plane, nextI, nextL + 1));
            u += 2 * stepU;
            v += 2 * stepV;
        }
        const __m128i x = BilinearLanes::Fractions(u - 4 * stepU, BilinearLanes::Steps(stepU));
        const __m128i y = BilinearLanes::Fractions(v - 4 * stepV, BilinearLanes::Steps(stepV));
        auto filter = [&](int pair) {
            const __m128i xs = BilinearLanes::OfPair(x, pair);
            const __m128i ys = BilinearLanes::OfPair(y, pair);
            return mScaled ? BilinearLanes::Two<true>(top[pair], bottom[pair], xs, ys, mAlphaScale)
                           : BilinearLanes::Two<false>(top[pair], bottom[pair], xs, ys, mAlphaScale);
        };
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest));
        const __m128i zero = _mm_setzero_si128();
        const __m128i low = Over(_mm_unpacklo_epi8(d, zero), filter(0));
        const __m128i high = Over(_mm_unpackhi_epi8(d, zero), filter(1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_packus_epi16(low, high));
    }

private:
    static __m128i TexelPair(const BlitSource::DirectPlane& plane, int32_t x, int32_t y)
    {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(plane.At(x, y)));
    }

    static __m128i TexelPair(const BlitSource::PalettePlane& plane, int32_t x, int32_t y)
    {
        return _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(plane(x, y))), _mm_cvtsi32_si128(int(plane(x + 1, y))));
    }

    // Filtered sums of two pixels, tinted, over two opaque pixels.
    __m128i Over(__m128i d, const BilinearLanes::Filtered& filtered) const
    {
        const __m128i zero = _mm_setzero_si128();
        const __m128i total = filtered.alpha;
        __m128i sum = filtered.sums;
        if (mTinted) {
            sum = _mm_or_si128(_mm_slli_epi16(_mm_mulhi_epu16(sum, mTint), 8),
                               _mm_srli_epi16(_mm_mullo_epi16(sum, mTint), 8));
        }
        // Over an opaque pixel: ((d 255 >> 8) (256 - total) + sum) >> 8,
        // which stays below 65536.
        const __m128i kept = _mm_srli_epi16(_mm_mullo_epi16(d, _mm_set1_epi16(255)), 8);
        const __m128i mixed =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(kept, _mm_sub_epi16(_mm_set1_epi16(256), total)), sum), 8);
        const __m128i solid = _mm_cmpgt_epi16(total, _mm_set1_epi16(250));
        __m128i color = _mm_or_si128(_mm_and_si128(solid, _mm_srli_epi16(sum, 8)), _mm_andnot_si128(solid, mixed));
        const __m128i empty = _mm_cmpeq_epi16(total, zero);
        color = _mm_or_si128(_mm_and_si128(empty, d), _mm_andnot_si128(empty, color));
        const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
        return _mm_or_si128(_mm_andnot_si128(alphaLanes, color), _mm_and_si128(alphaLanes, _mm_set1_epi16(255)));
    }

    __m128i mAlphaScale;
    bool mScaled;
    bool mTinted;
    __m128i mTint;
};

bool AllOpaque4(const uint32_t* dest)
{
    return (dest[0] & dest[1] & dest[2] & dest[3]) >> 24 == 255;
}
#endif

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

    auto drawPixel = [&](uint32_t& d, const auto& plane, int32_t u, int32_t v) {
        if (drawMode == 0) {
            Sample sample = Filter(plane, srcRect.mX, srcRect.mY, u, v, white ? 256 : tintAlpha);
            if (sample.total == 0)
                return;
            if (!white) {
                for (int c = 0; c < 3; ++c)
                    sample.sum[c] = sample.sum[c] * (tint[c] + 1) >> 8;
            }
            d = Composite(d, sample.sum, sample.total);
            return;
        }
        const Sample sample = Filter(plane, srcRect.mX, srcRect.mY, u, v, 256);
        if (sample.total == 0)
            return;
        uint32_t result = d & 0xFF000000;
        for (int c = 0; c < 3; ++c) {
            const uint32_t shift = 16 - 8 * c;
            const uint32_t add = white ? sample.sum[c] >> 8 : ((sample.sum[c] >> 8) * addScale[c]) >> 8;
            result |= PixelBlend::AddClamped((d >> shift) & 0xFF, add) << shift;
        }
        d = result;
    };
#if defined(__SSE2__)
    const uint32_t tintPlusOne[3] = {tint[2] + 1, tint[1] + 1, tint[0] + 1};
    const bool grouped = drawMode == 0 && PixelKernels::CurrentWidth() != PixelKernels::Width::Pixel;
    const FilterOverOpaque groups(white ? 256 : tintAlpha, white ? nullptr : tintPlusOne);
#endif

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
            int64_t k = first;
#if defined(__SSE2__)
            if (grouped) {
                for (; k + 4 <= last + 1; k += 4, u += 4 * stepU, v += 4 * stepV) {
                    if (AllOpaque4(dest + k)) {
                        groups.Draw4(dest + k, plane, srcRect.mX, srcRect.mY, u, v, stepU, stepV);
                        continue;
                    }
                    for (int p = 0; p < 4; ++p)
                        drawPixel(dest[k + p], plane, u + p * stepU, v + p * stepV);
                }
            }
#endif
            for (; k <= last; ++k, u += stepU, v += stepV)
                drawPixel(dest[k], plane, u, v);
        }
    });
    MarkBitsChanged();
}

} // namespace Lumo
