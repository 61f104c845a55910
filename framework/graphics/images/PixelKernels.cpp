#include "framework/graphics/images/PixelKernels.h"

#include "framework/graphics/images/PixelBlend.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include "framework/graphics/images/PixelKernelsAvx2.h"
#endif

namespace Lumo {

namespace {

// Scalar forms, for the groups the vector code leaves and for the tails.

void OverPixel(uint32_t& d, uint32_t s)
{
    if (s >> 24)
        d = PixelBlend::OverLaneShifted(d, s, s >> 24);
}

using Tint = PixelBlend::Tint;
using FilterTap = PixelKernels::FilterTap;

void OverTintedPixel(uint32_t& d, uint32_t s, const Tint& t)
{
    const uint32_t ea = (s >> 24) * t.alpha / 255;
    if (ea == 0)
        return;
    const uint32_t oa = PixelBlend::OverAlpha(d >> 24, ea);
    d = PixelBlend::TintMix(d, s, PixelBlend::OverWeight(ea, oa), t) | oa << 24;
}

template <bool White, bool Translucent>
uint32_t AddPixel(uint32_t d, uint32_t s, const uint32_t* scale)
{
    uint32_t result = d & 0xFF000000;
    for (int c = 0; c < 3; ++c) {
        const uint32_t shift = 16 - 8 * c;
        uint32_t add = (s >> shift) & 0xFF;
        if constexpr (!White)
            add = add * scale[c] >> 8;
        if constexpr (Translucent)
            add = add * (s >> 24) >> 8;
        result |= PixelBlend::AddClamped((d >> shift) & 0xFF, add) << shift;
    }
    return result;
}

uint32_t OverNativePixel(uint32_t d, uint32_t n)
{
    const uint32_t a = n >> 24;
    if (a == 0)
        return d;
    const uint32_t k = 256 - a;
    return ((((d & 0x00FF00FF) * k) >> 8) & 0x00FF00FF) + ((((d & 0x0000FF00) * k) >> 8) & 0x0000FF00) + n;
}

uint32_t OverNativeTintedPixel(uint32_t d, uint32_t n, const uint32_t* tint)
{
    const uint32_t a = n >> 24;
    if (a == 0)
        return d;
    const uint32_t k = a == 255 && tint[3] == 255 ? 0 : 256 - a * tint[3] / 255;
    uint32_t result = 0;
    for (uint32_t shift = 0; shift < 24; shift += 8) {
        const uint32_t sum = ((d >> shift) & 0xFF) * k + ((n >> shift) & 0xFF) * tint[shift / 8];
        result |= ((sum >> 8) & 0xFF) << shift;
    }
    return result;
}

uint32_t AddNativePixel(uint32_t d, uint32_t n, const uint32_t* tint)
{
    if ((n & 0x00FFFFFF) == 0)
        return d;
    uint32_t result = 0;
    for (uint32_t shift = 0; shift < 24; shift += 8) {
        uint32_t value = (n >> shift) & 0xFF;
        if (tint)
            value = value * tint[shift / 8] >> 8;
        result |= PixelBlend::AddClamped((d >> shift) & 0xFF, value) << shift;
    }
    return result;
}

#if defined(__SSE2__)

// Two pixels unpacked to 16-bit lanes: blue, green, red, alpha, twice.
__m128i Lanes(uint16_t blue, uint16_t green, uint16_t red, uint16_t alpha)
{
    return _mm_set_epi16(short(alpha), short(red), short(green), short(blue), short(alpha), short(red), short(green),
                         short(blue));
}

__m128i AlphaOfEach(__m128i pixels16)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels16, 0xFF), 0xFF);
}

bool AllOpaque(__m128i pixels)
{
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(pixels, alpha), alpha)) == 0xFFFF;
}

bool AllTransparent(__m128i pixels)
{
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(pixels, 24), _mm_setzero_si128())) == 0xFFFF;
}

__m128i Load(const void* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

void Store(void* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Lane-shifted mix of two pixels with per-lane weights; alpha lanes 255.
__m128i MixLaneShifted2(__m128i d, __m128i s, __m128i w)
{
    const __m128i dKeep = _mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(256), w));
    const __m128i sWeight = _mm_mullo_epi16(s, w);
    const __m128i joint = _mm_srli_epi16(_mm_add_epi16(dKeep, sWeight), 8);
    const __m128i apart = _mm_add_epi16(_mm_srli_epi16(dKeep, 8), _mm_srli_epi16(sWeight, 8));
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(joint, Lanes(0, 0xFFFF, 0xFFFF, 0)),
                                     _mm_and_si128(apart, Lanes(0xFFFF, 0, 0, 0))),
                        Lanes(0, 0, 0, 255));
}

// Four pixels worked as two halves in 16-bit lanes by half(d16, s16).
template <typename Half>
__m128i ByHalves(__m128i d, __m128i s, Half half)
{
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero)),
                            half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero)));
}

__m128i BlendOnOpaque4(__m128i d, __m128i s)
{
    return ByHalves(d, s, [](__m128i d16, __m128i s16) { return MixLaneShifted2(d16, s16, AlphaOfEach(s16)); });
}

// Groups of four drawn by blend(d, s), passing over wholly transparent
// source groups. OnOpaque forms stop at a destination group not all opaque.
template <bool OnOpaque, typename Blend>
int32_t SourceGroups(uint32_t* dest, const uint32_t* source, int32_t count, Blend blend)
{
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = Load(source + i);
        if (AllTransparent(s))
            continue;
        const __m128i d = Load(dest + i);
        if constexpr (OnOpaque) {
            if (!AllOpaque(d))
                break;
        }
        Store(dest + i, blend(d, s));
    }
    return i;
}

// The tint of two opaque destination pixels: weight ea = sa * ca / 255.
class TintLanes {
public:
    explicit TintLanes(const Tint& t)
        : mColor(t.grey ? Lanes(uint16_t(t.red), uint16_t(t.red), uint16_t(t.red), 0)
                        : Lanes(uint16_t(t.blue), uint16_t(t.green), uint16_t(t.red), 0)),
          mAlpha(_mm_set1_epi16(short(t.alpha))), mGrey(t.grey)
    {
    }

    __m128i Mix(__m128i d, __m128i s) const
    {
        const __m128i product = _mm_mullo_epi16(AlphaOfEach(s), mAlpha);
        // x / 255 for x below 65535.
        const __m128i w = _mm_srli_epi16(
            _mm_add_epi16(_mm_add_epi16(product, _mm_set1_epi16(1)), _mm_srli_epi16(product, 8)), 8);
        const __m128i keep = _mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(256), w));
        const __m128i sw = _mm_mullo_epi16(s, w);
        const __m128i high = _mm_mulhi_epu16(sw, mColor);
        const __m128i low = _mm_mullo_epi16(sw, mColor);
        // floor((s w c + 256 d (256 - w)) / 65536), and its two-part form.
        const __m128i joint = _mm_add_epi16(high, _mm_srli_epi16(_mm_add_epi16(_mm_srli_epi16(low, 8), keep), 8));
        const __m128i apart = _mm_add_epi16(high, _mm_srli_epi16(keep, 8));
        const __m128i alpha = Lanes(0, 0, 0, 255);
        if (!mGrey) {
            return _mm_or_si128(_mm_or_si128(_mm_and_si128(joint, Lanes(0, 0xFFFF, 0xFFFF, 0)),
                                             _mm_and_si128(apart, Lanes(0xFFFF, 0, 0, 0))),
                                alpha);
        }
        const __m128i tw = _mm_mullo_epi16(_mm_srli_epi16(_mm_mullo_epi16(s, mColor), 8), w);
        const __m128i red = _mm_srli_epi16(_mm_add_epi16(tw, keep), 8);
        const __m128i blue = _mm_add_epi16(_mm_srli_epi16(tw, 8), _mm_srli_epi16(keep, 8));
        return _mm_or_si128(_mm_or_si128(_mm_and_si128(red, Lanes(0, 0, 0xFFFF, 0)),
                                         _mm_and_si128(joint, Lanes(0, 0xFFFF, 0, 0))),
                            _mm_or_si128(_mm_and_si128(blue, Lanes(0xFFFF, 0, 0, 0)), alpha));
    }

private:
    __m128i mColor;
    __m128i mAlpha;
    bool mGrey;
};

#endif

// Short runs are the common case between a sprite's edges: no call for them.
void CopyPixels(uint32_t* dest, const uint32_t* source, int32_t count)
{
    if (count >= 64) {
        std::memcpy(dest, source, size_t(count) * sizeof(uint32_t));
        return;
    }
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4)
        Store(dest + i, Load(source + i));
#endif
    for (; i < count; ++i)
        dest[i] = source[i];
}

uint32_t CompositeFilteredPixel(uint32_t d, const uint32_t* sums)
{
    const uint32_t sa = std::min(sums[3] >> 16, 255u);
    const uint32_t da = d >> 24;
    uint32_t result = (da + (255 - da) * sa / 255) << 24;
    for (int c = 0; c < 3; ++c) {
        const uint32_t channel = (d >> (8 * c)) & 0xFF;
        const uint32_t value = std::min(sums[c] >> 16, 255u);
        result |= (((channel * (256 - sa)) >> 8) + ((value * sa) >> 8)) << (8 * c);
    }
    return result;
}

void FilterCellsByPixel(uint16_t* cells, const uint32_t* source, int32_t, const int32_t* indices,
                        const uint16_t* weights, int32_t groups, int32_t pairs)
{
    for (int32_t g = 0; g < groups; ++g, cells += 16) {
        std::fill(cells, cells + 16, uint16_t(0));
        for (int32_t e = 0; e < pairs * 8; ++e, ++indices, ++weights) {
            const uint32_t pixel = source[*indices];
            uint16_t* cell = cells + 4 * ((e % 8) / 2);
            for (int c = 0; c < 4; ++c)
                cell[c] = uint16_t(cell[c] + ((pixel >> (8 * c)) & 0xFF) * uint32_t(*weights));
        }
    }
}

// Rows drawn by a grouped row form, each finished by the rule.
template <bool White, bool Translucent, auto Row>
void AddRowsBy(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch, int32_t width,
               int32_t height, const uint32_t* scale)
{
    for (int32_t row = 0; row < height; ++row, dest += destPitch, source += sourcePitch)
        for (int32_t i = Row(dest, source, width, scale); i < width; ++i)
            dest[i] = AddPixel<White, Translucent>(dest[i], source[i], scale);
}

template <auto Row>
void FillRowsBy(uint32_t* dest, size_t pitch, int32_t width, int32_t height, uint32_t color)
{
    for (int32_t row = 0; row < height; ++row, dest += pitch)
        std::fill(dest + Row(dest, width, color), dest + width, color);
}

int32_t NoAddGroups(uint32_t*, const uint32_t*, int32_t, const uint32_t*)
{
    return 0;
}

int32_t NoFillGroups(uint32_t*, int32_t, uint32_t)
{
    return 0;
}

// The grouped forms of each routine: each draws whole groups from the start
// and returns how many pixels it drew, stopping at a group whose destination
// it needs opaque and is not. The pixel-by-pixel rule does the rest.
struct GroupForms {
    int32_t (*blendRow)(uint32_t*, const uint32_t*, int32_t);
    int32_t (*blendOnOpaque)(uint32_t*, const uint32_t*, int32_t);
    int32_t (*over)(uint32_t*, const uint32_t*, int32_t);
    int32_t (*overTinted)(uint32_t*, const uint32_t*, int32_t, const Tint&);
    // Whole rectangles, every pixel drawn.
    void (*addRows[2][2])(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t, const uint32_t*);
    void (*fillRows)(uint32_t*, size_t, int32_t, int32_t, uint32_t);
    int32_t (*gather)(uint32_t*, const uint32_t*, int32_t, const int32_t*, int32_t);
    int32_t (*fillOver)(uint32_t*, int32_t, uint32_t, uint32_t);
    void (*filterCells)(uint16_t*, const uint32_t*, int32_t, const int32_t*, const uint16_t*, int32_t, int32_t);
    int32_t (*compositeFiltered)(uint32_t*, const uint16_t*, size_t, const FilterTap*, size_t, int32_t);
    int32_t (*overNative)(uint32_t*, const uint32_t*, int32_t);
    int32_t (*overNativeTinted)(uint32_t*, const uint32_t*, int32_t, const uint32_t*);
    int32_t (*addNative)(uint32_t*, const uint32_t*, int32_t, const uint32_t*);
};

#if defined(__SSE2__)

int32_t BlendOnOpaqueSse2(uint32_t* dest, const uint32_t* source, int32_t count)
{
    int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        Store(dest + i, BlendOnOpaque4(Load(dest + i), Load(source + i)));
    return i;
}

int32_t OverSse2(uint32_t* dest, const uint32_t* source, int32_t count)
{
    // Over an opaque pixel the weight is the source alpha.
    return SourceGroups<true>(dest, source, count, [](__m128i d, __m128i s) { return BlendOnOpaque4(d, s); });
}

int32_t OverTintedSse2(uint32_t* dest, const uint32_t* source, int32_t count, const Tint& tint)
{
    const TintLanes lanes(tint);
    return SourceGroups<true>(dest, source, count, [&](__m128i d, __m128i s) {
        return ByHalves(d, s, [&](__m128i d16, __m128i s16) { return lanes.Mix(d16, s16); });
    });
}

template <bool White, bool Translucent>
int32_t AddSse2(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* scale)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i scaleLanes = Lanes(uint16_t(scale[2]), uint16_t(scale[1]), uint16_t(scale[0]), 0);
    auto contribution = [&](__m128i s16) {
        __m128i add = s16;
        if constexpr (!White)
            add = _mm_srli_epi16(_mm_mullo_epi16(add, scaleLanes), 8);
        if constexpr (Translucent)
            add = _mm_srli_epi16(_mm_mullo_epi16(add, AlphaOfEach(s16)), 8);
        return _mm_and_si128(add, Lanes(0xFFFF, 0xFFFF, 0xFFFF, 0));
    };
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = Load(source + i);
        __m128i add;
        if constexpr (White && !Translucent)
            add = _mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF));
        else
            add = _mm_packus_epi16(contribution(_mm_unpacklo_epi8(s, zero)), contribution(_mm_unpackhi_epi8(s, zero)));
        Store(dest + i, _mm_adds_epu8(Load(dest + i), add));
    }
    return i;
}

int32_t FillSse2(uint32_t* dest, int32_t count, uint32_t color)
{
    const __m128i pattern = _mm_set1_epi32(int(color));
    int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        Store(dest + i, pattern);
    return i;
}

int32_t FillOverSse2(uint32_t* dest, int32_t count, uint32_t color, uint32_t alpha)
{
    const __m128i zero = _mm_setzero_si128();
    // Over an opaque pixel: (d (256 - a) + s a) >> 8 per channel, alpha 255.
    const __m128i keep = _mm_set1_epi16(short(256 - alpha));
    const __m128i colorPart = _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_set1_epi32(int(color)), zero),
                                              _mm_set1_epi16(short(alpha)));
    auto mix = [&](__m128i d16) {
        const __m128i mixed = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d16, keep), colorPart), 8);
        return _mm_or_si128(_mm_and_si128(mixed, Lanes(0xFFFF, 0xFFFF, 0xFFFF, 0)), Lanes(0, 0, 0, 255));
    };
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i d = Load(dest + i);
        if (!AllOpaque(d))
            break;
        Store(dest + i, _mm_packus_epi16(mix(_mm_unpacklo_epi8(d, zero)), mix(_mm_unpackhi_epi8(d, zero))));
    }
    return i;
}

void FilterCellsSse2(uint16_t* cells, const uint32_t* source, int32_t, const int32_t* indices,
                     const uint16_t* weights, int32_t groups, int32_t pairs)
{
    const __m128i zero = _mm_setzero_si128();
    for (int32_t g = 0; g < groups; ++g, cells += 16) {
        __m128i sums[4] = {zero, zero, zero, zero};
        for (int32_t p = 0; p < pairs; ++p, indices += 8, weights += 8) {
            for (int c = 0; c < 4; ++c) {
                // The pair's two pixels, and their weights over four lanes each.
                const __m128i pixels = _mm_unpacklo_epi8(
                    _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(source[indices[2 * c]])),
                                       _mm_cvtsi32_si128(int(source[indices[2 * c + 1]]))),
                    zero);
                const __m128i w = _mm_cvtsi32_si128(int(weights[2 * c] | uint32_t(weights[2 * c + 1]) << 16));
                const __m128i twice = _mm_unpacklo_epi16(w, w);
                const __m128i spread = _mm_unpacklo_epi32(twice, twice);
                sums[c] = _mm_add_epi16(sums[c], _mm_mullo_epi16(pixels, spread));
            }
        }
        for (int c = 0; c < 4; ++c)
            _mm_storel_epi64(reinterpret_cast<__m128i*>(cells + 4 * c),
                             _mm_add_epi16(sums[c], _mm_srli_si128(sums[c], 8)));
    }
}

// Two pixels' channels from their sums, as 16-bit lanes.
__m128i FilteredChannels(__m128i first, __m128i second)
{
    return _mm_min_epi16(_mm_packs_epi32(_mm_srli_epi32(first, 16), _mm_srli_epi32(second, 16)),
                         _mm_set1_epi16(255));
}

// A source alpha of 0 leaves the pixel as it was, so no lane needs a mask.
__m128i CompositeFiltered2(__m128i d, __m128i s)
{
    const __m128i sa = AlphaOfEach(s);
    const __m128i color = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(256), sa)), 8),
                                        _mm_srli_epi16(_mm_mullo_epi16(s, sa), 8));
    // da + (255 - da) sa / 255, the division as (x + 1 + (x >> 8)) >> 8.
    const __m128i da = AlphaOfEach(d);
    const __m128i x = _mm_mullo_epi16(_mm_sub_epi16(_mm_set1_epi16(255), da), sa);
    const __m128i alpha =
        _mm_add_epi16(da, _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)), 8));
    return _mm_or_si128(_mm_and_si128(color, Lanes(0xFFFF, 0xFFFF, 0xFFFF, 0)),
                        _mm_and_si128(alpha, Lanes(0, 0, 0, 0xFFFF)));
}

int32_t CompositeFilteredSse2(uint32_t* dest, const uint16_t* cells, size_t pitch, const FilterTap* taps,
                              size_t tapCount, int32_t count)
{
    const __m128i zero = _mm_setzero_si128();
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        // Sums of values 0-3, 4-7, 8-11 and 12-15 of the four pixels.
        __m128i sums[4] = {zero, zero, zero, zero};
        for (size_t t = 0; t < tapCount; ++t) {
            const uint16_t* values = cells + size_t(taps[t].source) * pitch + 4 * size_t(i);
            const __m128i w = _mm_set1_epi16(short(taps[t].weight));
            for (int half = 0; half < 2; ++half) {
                const __m128i v = Load(values + 8 * half);
                const __m128i low = _mm_mullo_epi16(v, w);
                const __m128i high = _mm_mulhi_epu16(v, w);
                sums[2 * half] = _mm_add_epi32(sums[2 * half], _mm_unpacklo_epi16(low, high));
                sums[2 * half + 1] = _mm_add_epi32(sums[2 * half + 1], _mm_unpackhi_epi16(low, high));
            }
        }
        const __m128i d = Load(dest + i);
        const __m128i low = CompositeFiltered2(_mm_unpacklo_epi8(d, zero), FilteredChannels(sums[0], sums[1]));
        const __m128i high = CompositeFiltered2(_mm_unpackhi_epi8(d, zero), FilteredChannels(sums[2], sums[3]));
        Store(dest + i, _mm_packus_epi16(low, high));
    }
    return i;
}

// d where keep is set, else value.
__m128i Select(__m128i keep, __m128i d, __m128i value)
{
    return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, value));
}

__m128i TransparentLanes(__m128i pixels)
{
    return _mm_cmpeq_epi32(_mm_srli_epi32(pixels, 24), _mm_setzero_si128());
}

// The native forms: a transparent source pixel keeps its destination, the
// others come from finish(the halves' mix, s).
template <typename Half, typename Finish>
int32_t NativeGroups(uint32_t* dest, const uint32_t* source, int32_t count, Half half, Finish finish)
{
    return SourceGroups<false>(dest, source, count, [&](__m128i d, __m128i s) {
        return Select(TransparentLanes(s), d, finish(ByHalves(d, s, half), s));
    });
}

int32_t OverNativeSse2(uint32_t* dest, const uint32_t* source, int32_t count)
{
    return NativeGroups(
        dest, source, count,
        [](__m128i d16, __m128i s16) {
            return _mm_srli_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(_mm_set1_epi16(256), AlphaOfEach(s16))), 8);
        },
        [](__m128i kept, __m128i s) { return _mm_add_epi32(_mm_and_si128(kept, _mm_set1_epi32(0x00FFFFFF)), s); });
}

int32_t OverNativeTintedSse2(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint)
{
    const __m128i tintLanes = Lanes(uint16_t(tint[0]), uint16_t(tint[1]), uint16_t(tint[2]), 0);
    const __m128i tintAlpha = _mm_set1_epi16(short(tint[3]));
    // Opaque over opaque takes none of the destination.
    const __m128i opaqueAlpha = _mm_set1_epi16(tint[3] == 255 ? 255 : -1);
    auto mix = [&](__m128i d16, __m128i n16) {
        const __m128i alpha = AlphaOfEach(n16);
        const __m128i product = _mm_mullo_epi16(alpha, tintAlpha);
        const __m128i weight = _mm_srli_epi16(
            _mm_add_epi16(_mm_add_epi16(product, _mm_set1_epi16(1)), _mm_srli_epi16(product, 8)), 8);
        const __m128i k = _mm_andnot_si128(_mm_cmpeq_epi16(alpha, opaqueAlpha),
                                           _mm_sub_epi16(_mm_set1_epi16(256), weight));
        return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d16, k), _mm_mullo_epi16(n16, tintLanes)), 8);
    };
    return NativeGroups(dest, source, count, mix,
                        [](__m128i mixed, __m128i) { return _mm_and_si128(mixed, _mm_set1_epi32(0x00FFFFFF)); });
}

int32_t AddNativeSse2(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i tintLanes = tint ? Lanes(uint16_t(tint[0]), uint16_t(tint[1]), uint16_t(tint[2]), 0) : zero;
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i value = _mm_and_si128(Load(source + i), colour);
        const __m128i black = _mm_cmpeq_epi32(value, zero);
        if (_mm_movemask_epi8(black) == 0xFFFF)
            continue;
        if (tint)
            value = _mm_packus_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(value, zero), tintLanes), 8),
                                     _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(value, zero), tintLanes), 8));
        const __m128i d = Load(dest + i);
        Store(dest + i, Select(black, d, _mm_and_si128(_mm_adds_epu8(d, value), colour)));
    }
    return i;
}

// Narrower, the run table's walk copies and skips whole runs faster.
constexpr GroupForms kSse2Forms{[](uint32_t*, const uint32_t*, int32_t) { return 0; },
                                BlendOnOpaqueSse2,
                                OverSse2,
                                OverTintedSse2,
                                {{AddRowsBy<false, false, AddSse2<false, false>>,
                                  AddRowsBy<false, true, AddSse2<false, true>>},
                                 {AddRowsBy<true, false, AddSse2<true, false>>,
                                  AddRowsBy<true, true, AddSse2<true, true>>}},
                                FillRowsBy<FillSse2>,
                                [](uint32_t*, const uint32_t*, int32_t, const int32_t*, int32_t) { return 0; },
                                FillOverSse2,
                                FilterCellsSse2,
                                CompositeFilteredSse2,
                                OverNativeSse2,
                                OverNativeTintedSse2,
                                AddNativeSse2};

#endif

#if defined(__x86_64__)

// Eight at a time, then the four-pixel form for what is left or from the
// group that stopped the wide one, when a group of four is left.
template <auto Wide, auto Narrow, typename Dest, typename Source, typename Count, typename... Args>
Count WideThenNarrow(Dest* dest, const Source* source, Count count, Args... args)
{
    const Count done = Wide(dest, source, count, args...);
    return count - done < 4 ? done : done + Narrow(dest + done, source + done, count - done, args...);
}

int32_t OverTintedAvx2(uint32_t* dest, const uint32_t* source, int32_t count, const Tint& tint)
{
    const uint32_t color[4] = {tint.blue, tint.green, tint.red, tint.alpha};
    const int32_t done = PixelKernelsAvx2::OverTinted(dest, source, count, color, tint.grey);
    return count - done < 4 ? done : done + OverTintedSse2(dest + done, source + done, count - done, tint);
}

int32_t FillOverAvx2(uint32_t* dest, int32_t count, uint32_t color, uint32_t alpha)
{
    const int32_t done = PixelKernelsAvx2::FillOver(dest, count, color, alpha);
    return count - done < 4 ? done : done + FillOverSse2(dest + done, count - done, color, alpha);
}

int32_t CompositeFilteredAvx2(uint32_t* dest, const uint16_t* cells, size_t pitch, const FilterTap* taps,
                              size_t tapCount, int32_t count)
{
    const int32_t done = PixelKernelsAvx2::CompositeFiltered(dest, cells, pitch, taps, tapCount, count);
    return count - done < 4 ? done
                            : done + CompositeFilteredSse2(dest + done, cells + 4 * size_t(done), pitch, taps,
                                                           tapCount, count - done);
}

constexpr GroupForms kAvx2Forms{PixelKernelsAvx2::BlendRow,
                                WideThenNarrow<PixelKernelsAvx2::BlendOnOpaque, BlendOnOpaqueSse2>,
                                WideThenNarrow<PixelKernelsAvx2::Over, OverSse2>,
                                OverTintedAvx2,
                                {{PixelKernelsAvx2::AddRows<false, false>, PixelKernelsAvx2::AddRows<false, true>},
                                 {PixelKernelsAvx2::AddRows<true, false>, PixelKernelsAvx2::AddRows<true, true>}},
                                PixelKernelsAvx2::FillRows,
                                PixelKernelsAvx2::Gather,
                                FillOverAvx2,
                                PixelKernelsAvx2::FilterCells,
                                CompositeFilteredAvx2,
                                WideThenNarrow<PixelKernelsAvx2::OverNative, OverNativeSse2>,
                                WideThenNarrow<PixelKernelsAvx2::OverNativeTinted, OverNativeTintedSse2>,
                                WideThenNarrow<PixelKernelsAvx2::AddNative, AddNativeSse2>};

#endif

constexpr GroupForms kPixelForms{
    [](uint32_t*, const uint32_t*, int32_t) { return 0; },
    [](uint32_t*, const uint32_t*, int32_t) { return 0; },
    [](uint32_t*, const uint32_t*, int32_t) { return 0; },
    [](uint32_t*, const uint32_t*, int32_t, const Tint&) { return 0; },
    {{AddRowsBy<false, false, NoAddGroups>, AddRowsBy<false, true, NoAddGroups>},
     {AddRowsBy<true, false, NoAddGroups>, AddRowsBy<true, true, NoAddGroups>}},
    FillRowsBy<NoFillGroups>,
    [](uint32_t*, const uint32_t*, int32_t, const int32_t*, int32_t) { return 0; },
    [](uint32_t*, int32_t, uint32_t, uint32_t) { return 0; },
    FilterCellsByPixel,
    [](uint32_t*, const uint16_t*, size_t, const FilterTap*, size_t, int32_t) { return 0; },
    [](uint32_t*, const uint32_t*, int32_t) { return 0; },
    [](uint32_t*, const uint32_t*, int32_t, const uint32_t*) { return 0; },
    [](uint32_t*, const uint32_t*, int32_t, const uint32_t*) { return 0; }};

struct Dispatch {
    PixelKernels::Width width;
    const GroupForms* forms;
};

Dispatch DispatchFor(PixelKernels::Width width)
{
#if defined(__x86_64__)
    if (width == PixelKernels::Width::Avx2)
        return {width, &kAvx2Forms};
#endif
#if defined(__SSE2__)
    if (width == PixelKernels::Width::Sse2)
        return {width, &kSse2Forms};
#endif
    return {PixelKernels::Width::Pixel, &kPixelForms};
}

// Pixel by pixel until this file's initialisation chooses, so that drawing
// from another file's initialisation is still right.
constinit Dispatch gDispatch{PixelKernels::Width::Pixel, &kPixelForms};
[[maybe_unused]] const bool gChosen = [] {
    gDispatch = DispatchFor(PixelKernels::ProcessorWidth());
    return true;
}();

Dispatch& Current()
{
    return gDispatch;
}

const GroupForms& Forms()
{
    return *Current().forms;
}

void BlendPixelsOnOpaque(uint32_t* dest, const uint32_t* source, int32_t count)
{
    // A sprite's soft rim is a run or two of pixels: no group call for it.
    for (int32_t i = count < 4 ? 0 : Forms().blendOnOpaque(dest, source, count); i < count; ++i)
        dest[i] = PixelBlend::MixLaneShifted(dest[i], source[i], source[i] >> 24) | 0xFF000000;
}

// Runs the grouped form, then the rule on the group that stopped it, and on.
template <typename Grouped, typename Rule>
void GroupsThenRule(int32_t count, Grouped grouped, Rule rule)
{
    int32_t i = 0;
    while (i < count) {
        i += grouped(i);
        for (const int32_t end = std::min(i + 4, count); i < end; ++i)
            rule(i);
    }
}

} // namespace

PixelKernels::Width PixelKernels::ProcessorWidth()
{
#if defined(__x86_64__)
    // Before the runtime's own initialisation the processor is not yet known.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? Width::Avx2 : Width::Sse2;
#elif defined(__SSE2__)
    return Width::Sse2;
#else
    return Width::Pixel;
#endif
}

PixelKernels::Width PixelKernels::CurrentWidth()
{
    return Current().width;
}

void PixelKernels::SetWidth(Width width)
{
    Current() = DispatchFor(std::min(width, ProcessorWidth()));
}

void PixelKernels::BlendRuns(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch,
                             const uint8_t* runs, size_t runPitch, int32_t width, int32_t height)
{
    const auto blendRow = Forms().blendRow;
    for (int32_t row = 0; row < height; ++row, dest += destPitch, source += sourcePitch, runs += runPitch) {
        // Wide groups test their alphas faster than the runs can be walked.
        int32_t i = blendRow(dest, source, width);
        while (i < width) {
            const int32_t length = std::min(std::max(int32_t(runs[i]), 1), width - i);
            const uint32_t alpha = source[i] >> 24;
            if (alpha == 255)
                CopyPixels(dest + i, source + i, length);
            else if (alpha != 0)
                BlendPixelsOnOpaque(dest + i, source + i, length);
            i += length;
        }
    }
}

void PixelKernels::Over(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch, int32_t width,
                        int32_t height)
{
    const auto over = Forms().over;
    for (int32_t row = 0; row < height; ++row, dest += destPitch, source += sourcePitch) {
        GroupsThenRule(
            width, [&](int32_t i) { return over(dest + i, source + i, width - i); },
            [&](int32_t i) { OverPixel(dest[i], source[i]); });
    }
}

void PixelKernels::OverTinted(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch,
                              int32_t width, int32_t height, const Color& color)
{
    const Tint tint(color);
    const auto overTinted = Forms().overTinted;
    for (int32_t row = 0; row < height; ++row, dest += destPitch, source += sourcePitch) {
        GroupsThenRule(
            width, [&](int32_t i) { return overTinted(dest + i, source + i, width - i, tint); },
            [&](int32_t i) { OverTintedPixel(dest[i], source[i], tint); });
    }
}

template <bool White, bool Translucent>
void PixelKernels::AddRows(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch, int32_t width,
                           int32_t height, const uint32_t* scale)
{
    Forms().addRows[White][Translucent](dest, destPitch, source, sourcePitch, width, height, scale);
}

template void PixelKernels::AddRows<true, true>(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t,
                                                const uint32_t*);
template void PixelKernels::AddRows<true, false>(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t,
                                                 const uint32_t*);
template void PixelKernels::AddRows<false, true>(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t,
                                                 const uint32_t*);
template void PixelKernels::AddRows<false, false>(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t,
                                                  const uint32_t*);

void PixelKernels::FillRows(uint32_t* dest, size_t pitch, int32_t width, int32_t height, uint32_t color)
{
    Forms().fillRows(dest, pitch, width, height, color);
}

void PixelKernels::Gather(uint32_t* dest, const uint32_t* source, int32_t sourceCount, const int32_t* indices,
                          int32_t count)
{
    for (int32_t i = Forms().gather(dest, source, sourceCount, indices, count); i < count; ++i)
        dest[i] = source[indices[i]];
}

void PixelKernels::FillOver(uint32_t* dest, size_t pitch, int32_t width, int32_t height, uint32_t color,
                            uint32_t alpha)
{
    const auto fillOver = Forms().fillOver;
    for (int32_t row = 0; row < height; ++row, dest += pitch) {
        GroupsThenRule(
            width, [&](int32_t i) { return fillOver(dest + i, width - i, color, alpha); },
            [&](int32_t i) { dest[i] = PixelBlend::OverSingleShift(dest[i], color, alpha); });
    }
}

void PixelKernels::OverNative(uint32_t* dest, const uint32_t* source, int32_t count)
{
    for (int32_t i = Forms().overNative(dest, source, count); i < count; ++i)
        dest[i] = OverNativePixel(dest[i], source[i]);
}

void PixelKernels::OverNativeTinted(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint)
{
    for (int32_t i = Forms().overNativeTinted(dest, source, count, tint); i < count; ++i)
        dest[i] = OverNativeTintedPixel(dest[i], source[i], tint);
}

void PixelKernels::AddNative(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint)
{
    for (int32_t i = Forms().addNative(dest, source, count, tint); i < count; ++i)
        dest[i] = AddNativePixel(dest[i], source[i], tint);
}

void PixelKernels::FilterCells(uint16_t* cells, const uint32_t* source, int32_t sourceCount, const int32_t* indices,
                               const uint16_t* weights, int32_t groups, int32_t pairs)
{
    Forms().filterCells(cells, source, sourceCount, indices, weights, groups, pairs);
}

void PixelKernels::CompositeFiltered(uint32_t* dest, const uint16_t* cells, size_t pitch, const FilterTap* taps,
                                     size_t tapCount, int32_t count)
{
    for (int32_t i = Forms().compositeFiltered(dest, cells, pitch, taps, tapCount, count); i < count; ++i) {
        uint32_t sums[4] = {0, 0, 0, 0};
        for (size_t t = 0; t < tapCount; ++t) {
            const uint16_t* values = cells + size_t(taps[t].source) * pitch + 4 * size_t(i);
            for (size_t c = 0; c < 4; ++c)
                sums[c] += uint32_t(values[c]) * uint32_t(taps[t].weight);
        }
        dest[i] = CompositeFilteredPixel(dest[i], sums);
    }
}

} // namespace Lumo
