#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"
#include "framework/display/D3DInterface.h"
#include "framework/graphics/images/BilinearLanes.h"
#include "framework/graphics/images/BlitGeometry.h"
#include "framework/graphics/images/PixelKernels.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Lumo {

namespace {

// The 2 x 2 texels under a 16.16 position weighted by area and alpha: the
// filtered alpha and the colour sums premultiplied by it, scaled by 256.
struct BilinearSample {
    uint32_t alpha;
    uint32_t red;
    uint32_t green;
    uint32_t blue;
};

// alphaScale 256 leaves the weights as they are; a tint scales each by its alpha.
// Inlined so that the sample stays in registers on its way to the store.
template <typename Texels>
[[gnu::always_inline]] inline BilinearSample Sample(const Texels& source, size_t index, size_t rowStep, int32_t u, int32_t v,
                             uint32_t alphaScale)
{
    const uint32_t fx = (uint32_t(u) & 0xFFFE) + 1;
    const uint32_t fy = (uint32_t(v) & 0xFFFE) + 1;
    const uint32_t texels[4] = {source[index], source[index + 1], source[index + rowStep],
                                source[index + rowStep + 1]};
    const uint32_t weights[4] = {(0x10000 - fx) * (0x10000 - fy), fx * (0x10000 - fy), (0x10000 - fx) * fy,
                                 fx * fy};
    // The weights sum to at most 255, so red and blue share one word
    // without a carry between them.
    uint32_t alpha = 0;
    uint32_t redBlue = 0;
    uint32_t green = 0;
    for (int t = 0; t < 4; ++t) {
        uint32_t m = ((weights[t] >> 16) * (texels[t] >> 24)) >> 16;
        if (alphaScale != 256)
            m = (m * alphaScale) >> 8;
        alpha += m;
        redBlue += (texels[t] & 0x00FF00FF) * m;
        green += ((texels[t] >> 8) & 0xFF) * m;
    }
    return BilinearSample{alpha, redBlue >> 16, green, redBlue & 0xFFFF};
}

// Narrows [first, last] to the columns whose samples keep all four texels
// within limit (the rectangle's width or height) along one coordinate.
// lowest is the least position allowed for a negative step. False when the
// whole row falls outside.
bool NarrowSpan(int64_t position, int64_t step, int64_t limit, int64_t lowest, int64_t& first, int64_t& last)
{
    const int64_t whole = limit << 16;
    if (step < 0) {
        if ((position >> 16) < 0)
            return false;
        first = std::max(first, (whole - position - 0x27FFF) / step);
        last = std::min(last, (lowest - position) / step);
    } else if (step > 0) {
        if ((position >> 16) >= limit - 1)
            return false;
        first = std::max(first, (0x10000 - position) / step);
        last = std::min(last, (whole - position - 0x17FFF) / step);
    } else if (position < 0 || position >= whole - 0x10000) {
        return false;
    }
    return true;
}

#if defined(__SSE2__)
// Four pixels of a row as Sample and the ordered stores draw them, untinted,
// onto 32-bit or 565 pixels: 16-bit lanes, two pixels a register. Every sum
// stays below 65536.
class BilinearFour {
public:
    // Positions step by stepU, stepV from one pixel to the next.
    BilinearFour(int32_t stepU, int32_t stepV)
        : mStepsU(BilinearLanes::Steps(stepU)), mStepsV(BilinearLanes::Steps(stepV)), mStepU(stepU), mStepV(stepV)
    {
    }

    template <typename Texels>
    [[gnu::always_inline]] void Draw(uint32_t* dest, const Texels& source, size_t origin, size_t rowStep, int64_t u,
                                     int64_t v) const
    {
        Filtered pairs[2];
        Filter(source, origin, rowStep, u, v, pairs);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest));
        const __m128i zero = _mm_setzero_si128();
        const __m128i low = Over32(_mm_unpacklo_epi8(d, zero), pairs[0]);
        const __m128i high = Over32(_mm_unpackhi_epi8(d, zero), pairs[1]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_packus_epi16(low, high));
    }

    template <typename Texels>
    [[gnu::always_inline]] void Draw(uint16_t* dest, const Texels& source, size_t origin, size_t rowStep, int64_t u,
                                     int64_t v) const
    {
        Filtered pairs[2];
        Filter(source, origin, rowStep, u, v, pairs);
        // Each pixel in all four lanes of its half.
        const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dest));
        const __m128i twice = _mm_unpacklo_epi16(d, d);
        const __m128i low = Over565(_mm_unpacklo_epi32(twice, twice), pairs[0]);
        const __m128i high = Over565(_mm_unpackhi_epi32(twice, twice), pairs[1]);
        // The pixels are the first lanes of the halves.
        auto firstLanes = [](__m128i pair) { return _mm_shufflelo_epi16(_mm_shuffle_epi32(pair, 0x08), 0x08); };
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dest), _mm_unpacklo_epi32(firstLanes(low), firstLanes(high)));
    }

private:
    // Sample's sums of two pixels, its alpha in every lane of the pixel.
    using Filtered = BilinearLanes::Filtered;

    template <typename Texels>
    [[gnu::always_inline]] void Filter(const Texels& source, size_t origin, size_t rowStep, int64_t u, int64_t v,
                                       Filtered* pairs) const
    {
        // Texels 0, 1 of pixels 0 and 1 (then 2 and 3) and the pair below.
        __m128i top[2];
        __m128i bottom[2];
        for (int pair = 0; pair < 2; ++pair) {
            const size_t first = origin + size_t(v >> 16) * rowStep + size_t(u >> 16);
            const size_t second = origin + size_t((v + mStepV) >> 16) * rowStep + size_t((u + mStepU) >> 16);
            top[pair] = _mm_unpacklo_epi32(TexelPair(source, first), TexelPair(source, second));
            bottom[pair] = _mm_unpacklo_epi32(TexelPair(source, first + rowStep), TexelPair(source, second + rowStep));
            u += 2 * int64_t(mStepU);
            v += 2 * int64_t(mStepV);
        }
        const __m128i x = BilinearLanes::Fractions(int32_t(u - 4 * int64_t(mStepU)), mStepsU);
        const __m128i y = BilinearLanes::Fractions(int32_t(v - 4 * int64_t(mStepV)), mStepsV);
        for (int pair = 0; pair < 2; ++pair) {
            pairs[pair] = BilinearLanes::Two<false>(top[pair], bottom[pair], BilinearLanes::OfPair(x, pair),
                                                    BilinearLanes::OfPair(y, pair), _mm_setzero_si128());
        }
    }

    static __m128i TexelPair(const DirectTexels& texels, size_t index)
    {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels.words + index));
    }

    static __m128i TexelPair(const IndexedTexels& texels, size_t index)
    {
        return _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(texels[index])), _mm_cvtsi32_si128(int(texels[index + 1])));
    }

    // Lanes blue, green, red, alpha of both pixels.
    static __m128i Lanes(int16_t blue, int16_t green, int16_t red, int16_t alpha)
    {
        return _mm_set_epi16(alpha, red, green, blue, alpha, red, green, blue);
    }

    // (sum >> 8) + (d (256 - alpha) >> 8), the top byte clear.
    static __m128i Over32(__m128i d, const Filtered& f)
    {
        const __m128i kept = _mm_srli_epi16(_mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(256), f.alpha)), 8);
        return _mm_and_si128(_mm_add_epi16(_mm_srli_epi16(f.sums, 8), kept), Lanes(-1, -1, -1, 0));
    }

    // The spread form's result in the first lane of each half: each field of
    // d (blue, green, red) times q = (256 - alpha) >> 3, >> 5, plus the sum
    // >> 11, >> 10 or >> 11. No field carries into the next: with sums at
    // most 255 alpha, a field's two parts add up to at most its largest value.
    static __m128i Over565(__m128i d, const Filtered& f)
    {
        const __m128i q = _mm_srli_epi16(_mm_sub_epi16(_mm_set1_epi16(256), f.alpha), 3);
        // Fields as b << 5, g << 5, r << 11, so one high product scales each.
        const __m128i fields = _mm_and_si128(_mm_mullo_epi16(d, Lanes(32, 1, 1, 0)), Lanes(0x03E0, 0x07E0, -2048, 0));
        const __m128i kept = _mm_mulhi_epu16(fields, _mm_mullo_epi16(q, Lanes(64, 64, 1, 0)));
        const __m128i sums = _mm_add_epi16(kept, _mm_mulhi_epu16(f.sums, Lanes(32, 64, 32, 0)));
        const __m128i placed = _mm_mullo_epi16(sums, Lanes(1, 32, 2048, 0));
        const __m128i folded = _mm_or_si128(placed, _mm_srli_epi64(placed, 16));
        return _mm_or_si128(folded, _mm_srli_epi64(folded, 32));
    }

    __m128i mStepsU;
    __m128i mStepsV;
    int32_t mStepU;
    int32_t mStepV;
};
#endif

bool FitsFixed(double value)
{
    return value >= double(INT32_MIN) && value <= double(INT32_MAX);
}

} // namespace

void DDImage::BlitRotated(Image* source, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                          int drawMode, double angle, float centerX, float centerY)
{
    source->mDrawn = true;
    if (mNoSoftwareDraw)
        return;
    CheckAlpha();
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->BltRotated(source, x, y, clip, color, drawMode, centerX, centerY, srcRect,
                                                angle);
        return;
    }
    if (hasTranslucency || hasTransparency || mDDInterface->mIs3D) {
        MemoryImage::BlitRotated(source, x, y, srcRect, clip, color, drawMode, angle, centerX, centerY);
        return;
    }
    FRect bounds;
    const FRect clipArea{double(clip.mX), double(clip.mY), double(clip.mWidth), double(clip.mHeight)};
    if (!GetRotatedBlitBounds(x, y, srcRect, clipArea, bounds, angle, centerX, centerY))
        return;
    auto* memory = dynamic_cast<MemoryImage*>(source);
    // Positions are 16.16 within the rectangle, so it must stay below 32768.
    if (!memory || srcRect.mWidth >= 32768 || srcRect.mHeight >= 32768)
        return;
    memory->CheckAlpha();
    const uint32_t* words = memory->colorTable ? memory->colorTable.get() : memory->GetPixelBits();
    if (!words)
        return;
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    const int32_t cu = int32_t(cosine * 65536);
    const int32_t su = int32_t(sine * 65536);
    if (!LockSurface())
        return;

    const int32_t x0 = int32_t(bounds.mX);
    const int32_t y0 = int32_t(bounds.mY);
    const int64_t lastColumn = int64_t(bounds.mWidth - 1);
    const float a = float(x0) - centerX - x;
    const size_t rowStep = size_t(memory->mWidth);
    const size_t origin = size_t(srcRect.mY) * rowStep + size_t(srcRect.mX);
    const bool ordered = DDInterface::gChannelOrderFlag != 0;
    const bool untinted = color.IsWhite();
    const uint32_t colorAlpha = Tint::Channel(color.mAlpha);
    const uint32_t plus[3] = {Tint::Channel(color.mRed) + 1, Tint::Channel(color.mGreen) + 1,
                              Tint::Channel(color.mBlue) + 1};
    const Tint premultiplied(color);
    const DDInterface& display = *mDDInterface;
    const uint32_t widths[3] = {display.mRedBits, display.mGreenBits, display.mBlueBits};
    const uint32_t shifts[3] = {display.mRedShift, display.mGreenShift, display.mBlueShift};
    SaturationChannel channels[3];
    SaturationChannels(channels);

    // Walks the rows, narrowing each to the columns whose samples stay inside
    // the rectangle; store(pixel, sample) gives the new pixel, or four(first
    // pixel, texels, u, v) four pixels at once when not null.
    auto walkTexels = [&](const auto& raster, const auto& texels, uint32_t alphaScale, auto&& store, auto&& four) {
        using Pixel = typename std::remove_cvref_t<decltype(raster)>::Pixel;
        for (int32_t j = 0; j < bounds.mHeight; ++j) {
            const int32_t r = y0 + j;
            const float b = float(r) - centerY - y;
            const double startU = (double(a) * cosine - double(b) * sine + centerX) * 65536;
            const double startV = (double(a) * sine + double(b) * cosine + centerY) * 65536;
            if (!FitsFixed(startU) || !FitsFixed(startV))
                continue;
            int64_t u = int32_t(startU);
            int64_t v = int32_t(startV);
            int64_t first = 0;
            int64_t last = lastColumn;
            if (!NarrowSpan(u, cu, srcRect.mWidth, 0x7FFF, first, last) ||
                !NarrowSpan(v, su, srcRect.mHeight, 0, first, last) || first > last)
                continue;
            u += first * cu;
            v += first * su;
            Pixel* pixel = raster.Row(r) + x0 + first;
            int64_t i = first;
            if constexpr (!std::is_null_pointer_v<std::remove_cvref_t<decltype(four)>>) {
                for (; i + 3 <= last; i += 4, pixel += 4, u += 4 * int64_t(cu), v += 4 * int64_t(su))
                    four(pixel, texels, u, v);
            }
            for (; i <= last; ++i, ++pixel, u += cu, v += su) {
                const size_t index = origin + size_t(v >> 16) * rowStep + size_t(u >> 16);
                *pixel = Pixel(store(uint32_t(*pixel),
                                     Sample(texels, index, rowStep, int32_t(u), int32_t(v), alphaScale)));
            }
        }
    };
    auto walkGroups = [&](const auto& raster, uint32_t alphaScale, auto&& store, auto&& four) {
        WithTexels(words, memory->colorIndices.get(),
                   [&](auto texels) { walkTexels(raster, texels, alphaScale, store, four); });
    };
    auto walk = [&](const auto& raster, uint32_t alphaScale, auto&& store) {
        walkGroups(raster, alphaScale, store, nullptr);
    };

    const bool written = WithRasterFormat<true>(mLockDesc, [&](auto raster) {
        using Raster = decltype(raster);
        using Format = typename Raster::Tag;
        const uint32_t masks[3] = {raster.mRed, raster.mGreen, raster.mBlue};
        auto scaled = [&](uint32_t d, int c, uint32_t k) {
            return uint32_t(((uint64_t(d & masks[c]) * k) >> 8) & masks[c]);
        };
        if (drawMode != 0) {
            const uint32_t p[3] = {premultiplied.red, premultiplied.green, premultiplied.blue};
            walk(raster, 256, [&](uint32_t d, const BilinearSample& s) {
                const uint32_t parts[3] = {((s.red >> (16 - widths[0])) * p[0]) >> 8,
                                           (s.green * p[1]) >> (24 - widths[1]), (s.blue * p[2]) >> (24 - widths[2])};
                return channels[0].Add(d, parts[0]) | channels[1].Add(d, parts[1]) | channels[2].Add(d, parts[2]);
            });
        } else if (!untinted) {
            walk(raster, colorAlpha, [&](uint32_t d, const BilinearSample& s) {
                const uint32_t k = 256 - s.alpha;
                const uint32_t parts[3] = {((s.red * plus[0]) >> (24 - widths[0])) << shifts[0],
                                           ((s.green * plus[1]) >> (24 - widths[1])) << shifts[1],
                                           (((s.blue >> 8) * plus[2]) >> (16 - widths[2])) << shifts[2]};
                return (parts[0] + scaled(d, 0, k)) | (parts[1] + scaled(d, 1, k)) | (parts[2] + scaled(d, 2, k));
            });
        } else if (Format::kSpread && ordered) {
            auto store = [&](uint32_t d, const BilinearSample& s) {
                const uint32_t k = 256 - s.alpha;
                const uint32_t r8 = s.red >> 8;
                const uint32_t g8 = s.green >> 8;
                const uint32_t b8 = s.blue >> 8;
                const uint32_t colour = std::is_same_v<Format, Format565>
                                            ? ((g8 >> 2) << 21) + ((r8 >> 3) << 11) + (b8 >> 3)
                                            : ((g8 >> 3) << 21) + ((r8 >> 3) << 10) + (b8 >> 3);
                return uint32_t(Raster::Fold((((Raster::Spread(d) * (k >> 3)) >> 5) & Format::kSpreadMask) + colour));
            };
#if defined(__SSE2__)
            if (std::is_same_v<Format, Format565> && PixelKernels::CurrentWidth() != PixelKernels::Width::Pixel) {
                const BilinearFour four(cu, su);
                walkGroups(raster, 256, store, [&](auto* pixel, const auto& texels, int64_t u, int64_t v) {
                    four.Draw(reinterpret_cast<uint16_t*>(pixel), texels, origin, rowStep, u, v);
                });
                return;
            }
#endif
            walk(raster, 256, store);
        } else if (sizeof(typename Raster::Pixel) == 4 && ordered) {
            auto store = [&](uint32_t d, const BilinearSample& s) {
                const uint32_t k = 256 - s.alpha;
                auto one = [&](uint32_t sum, uint32_t shift) {
                    return ((sum >> 8) + ((((d >> shift) & 0xFF) * k) >> 8)) << shift;
                };
                return one(s.red, 16) | one(s.green, 8) | one(s.blue, 0);
            };
#if defined(__SSE2__)
            if (PixelKernels::CurrentWidth() != PixelKernels::Width::Pixel) {
                const BilinearFour four(cu, su);
                walkGroups(raster, 256, store, [&](auto* pixel, const auto& texels, int64_t u, int64_t v) {
                    four.Draw(reinterpret_cast<uint32_t*>(pixel), texels, origin, rowStep, u, v);
                });
                return;
            }
#endif
            walk(raster, 256, store);
        } else {
            walk(raster, 256, [&](uint32_t d, const BilinearSample& s) {
                const uint32_t k = 256 - s.alpha;
                const uint32_t sums[3] = {s.red, s.green, s.blue};
                uint32_t pixel = 0;
                for (int c = 0; c < 3; ++c)
                    pixel |= ((sums[c] >> (16 - widths[c])) << shifts[c]) + scaled(d, c, k);
                return pixel;
            });
        }
    });
    UnlockSurface();
    if (written)
        DiscardMemoryCopies();
}

} // namespace Lumo
