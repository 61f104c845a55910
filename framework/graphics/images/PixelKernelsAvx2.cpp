// Built with AVX2 enabled: nothing here may be an inline function shared with
// the rest of the program, or the linker could keep this build of it.
#include "framework/graphics/images/PixelKernelsAvx2.h"

#include <immintrin.h>

#include <cstdint>

namespace Lumo {

namespace {

[[gnu::always_inline]] inline __m256i Load(const void* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

[[gnu::always_inline]] inline void Store(void* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// Four pixels unpacked to 16-bit lanes: blue, green, red, alpha each.
[[gnu::always_inline]] inline __m256i Lanes(uint16_t blue, uint16_t green, uint16_t red, uint16_t alpha)
{
    return _mm256_set1_epi64x(int64_t(uint64_t(alpha) << 48 | uint64_t(red) << 32 | uint64_t(green) << 16 | blue));
}

[[gnu::always_inline]] inline __m256i AlphaOfEach(__m256i pixels16)
{
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pixels16, 0xFF), 0xFF);
}

[[gnu::always_inline]] inline bool AllOpaque(__m256i pixels)
{
    return _mm256_testc_si256(pixels, _mm256_set1_epi32(int(0xFF000000))) != 0;
}

[[gnu::always_inline]] inline bool AllTransparent(__m256i pixels)
{
    return _mm256_testz_si256(pixels, _mm256_set1_epi32(int(0xFF000000))) != 0;
}

// Each pixel's alpha in both 16-bit halves of its 32 bits.
[[gnu::always_inline]] inline __m256i AlphaInBothHalves()
{
    const char z = char(0x80);
    return _mm256_setr_epi8(3, z, 3, z, 7, z, 7, z, 11, z, 11, z, 15, z, 15, z, 3, z, 3, z, 7, z, 7, z, 11, z, 11, z,
                            15, z, 15, z);
}

// Over opaque pixels, with the weight w (0..256, in both halves of each
// pixel): red and green as (d (256 - w) + s w) >> 8, blue as the sum of the
// two parts shifted apart, alpha 255. Blue shares 16-bit lanes with red and
// green with alpha, picked out by masks and shifts in place, so nothing is
// unpacked or packed again.
[[gnu::always_inline]] inline __m256i BlendOnOpaque8(__m256i d, __m256i s, __m256i w)
{
    const __m256i k = _mm256_sub_epi16(_mm256_set1_epi16(256), w);
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    const __m256i keepRb = _mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), k);
    const __m256i takeRb = _mm256_mullo_epi16(_mm256_and_si256(s, lowBytes), w);
    const __m256i keepGa = _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), k);
    const __m256i takeGa = _mm256_mullo_epi16(_mm256_srli_epi16(s, 8), w);
    const __m256i joint = _mm256_srli_epi16(_mm256_add_epi16(keepRb, takeRb), 8);
    const __m256i apart = _mm256_add_epi16(_mm256_srli_epi16(keepRb, 8), _mm256_srli_epi16(takeRb, 8));
    const __m256i rb = _mm256_blend_epi16(joint, apart, 0x55);
    // Green is the upper byte of its sum, taken in place.
    return _mm256_blendv_epi8(_mm256_or_si256(rb, _mm256_set1_epi32(int(0xFF000000))),
                              _mm256_add_epi16(keepGa, takeGa), _mm256_set1_epi32(0x0000FF00));
}

// The tinted Over of eight pixels onto opaque ones, lanes shared as in
// BlendOnOpaque8. The weight is w = sa ca / 255; with k = 256 - w, a channel
// of colour c is (s w c + 256 d k) >> 16 for red and green and the two parts
// shifted apart for blue; a grey tint gives red and blue as
// ((s c >> 8) w + d k) >> 8, blue's parts shifted apart. Alpha 255.
template <bool Grey>
[[gnu::always_inline]] inline __m256i TintOverOpaque8(__m256i d, __m256i s, __m256i tintRb, __m256i tintGa,
                                                      __m256i tintAlpha)
{
    // The division by 255 as (x 0x8081) >> 23, exact below 65536.
    const __m256i w = _mm256_srli_epi16(
        _mm256_mulhi_epu16(_mm256_mullo_epi16(_mm256_shuffle_epi8(s, AlphaInBothHalves()), tintAlpha),
                           _mm256_set1_epi16(short(0x8081))),
        7);
    const __m256i k = _mm256_sub_epi16(_mm256_set1_epi16(256), w);
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    const __m256i dRb = _mm256_and_si256(d, lowBytes);
    const __m256i sRb = _mm256_and_si256(s, lowBytes);
    // (s w c + 256 d k) >> 16, and its two parts shifted apart.
    auto joint = [&](__m256i high, __m256i low, __m256i keep) {
        return _mm256_add_epi16(high, _mm256_srli_epi16(_mm256_add_epi16(_mm256_srli_epi16(low, 8), keep), 8));
    };
    const __m256i weighedGa = _mm256_mullo_epi16(_mm256_srli_epi16(s, 8), w);
    const __m256i ga = joint(_mm256_mulhi_epu16(weighedGa, tintGa), _mm256_mullo_epi16(weighedGa, tintGa),
                             _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), k));
    const __m256i keepRb = _mm256_mullo_epi16(dRb, k);
    __m256i rb;
    if constexpr (Grey) {
        const __m256i tinted = _mm256_mullo_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(sRb, tintRb), 8), w);
        rb = _mm256_blend_epi16(_mm256_srli_epi16(_mm256_add_epi16(tinted, keepRb), 8),
                                _mm256_add_epi16(_mm256_srli_epi16(tinted, 8), _mm256_srli_epi16(keepRb, 8)), 0x55);
    } else {
        const __m256i weighed = _mm256_mullo_epi16(sRb, w);
        const __m256i high = _mm256_mulhi_epu16(weighed, tintRb);
        rb = _mm256_blend_epi16(joint(high, _mm256_mullo_epi16(weighed, tintRb), keepRb),
                                _mm256_add_epi16(high, _mm256_srli_epi16(keepRb, 8)), 0x55);
    }
    // Green to its byte; what the alpha lane held goes under alpha 255.
    return _mm256_or_si256(_mm256_or_si256(rb, _mm256_slli_epi16(ga, 8)), _mm256_set1_epi32(int(0xFF000000)));
}

// A source alpha of 0 leaves the pixel as it was, so no lane needs a mask.
[[gnu::always_inline]] inline __m256i CompositeFiltered16(__m256i d, __m256i s)
{
    const __m256i sa = AlphaOfEach(s);
    const __m256i color =
        _mm256_add_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(d, _mm256_sub_epi16(_mm256_set1_epi16(256), sa)), 8),
                         _mm256_srli_epi16(_mm256_mullo_epi16(s, sa), 8));
    // da + (255 - da) sa / 255, the division as (x + 1 + (x >> 8)) >> 8.
    const __m256i da = AlphaOfEach(d);
    const __m256i x = _mm256_mullo_epi16(_mm256_sub_epi16(_mm256_set1_epi16(255), da), sa);
    const __m256i alpha = _mm256_add_epi16(
        da, _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, _mm256_set1_epi16(1)), _mm256_srli_epi16(x, 8)), 8));
    return _mm256_or_si256(_mm256_and_si256(color, Lanes(0xFFFF, 0xFFFF, 0xFFFF, 0)),
                           _mm256_and_si256(alpha, Lanes(0, 0, 0, 0xFFFF)));
}

// The channels of four pixels from their sums (two pixels in each),
// ordered as unpacking the destination orders them.
[[gnu::always_inline]] inline __m256i FilteredChannels(__m256i first, __m256i second)
{
    const __m256i packed = _mm256_packs_epi32(_mm256_srli_epi32(first, 16), _mm256_srli_epi32(second, 16));
    return _mm256_min_epi16(_mm256_permute4x64_epi64(packed, 0xD8), _mm256_set1_epi16(255));
}

// d where keep is set, else value.
[[gnu::always_inline]] inline __m256i Select(__m256i keep, __m256i d, __m256i value)
{
    return _mm256_blendv_epi8(value, d, keep);
}

[[gnu::always_inline]] inline __m256i TransparentLanes(__m256i pixels)
{
    return _mm256_cmpeq_epi32(_mm256_srli_epi32(pixels, 24), _mm256_setzero_si256());
}

[[gnu::always_inline]] inline __m256i TintLanes(const uint32_t* tint)
{
    return Lanes(uint16_t(tint[0]), uint16_t(tint[1]), uint16_t(tint[2]), 0);
}

// Up to four pixels as the low lanes, the others 0.
[[gnu::always_inline]] inline __m128i LoadQuarter(const uint32_t* p, int32_t count)
{
    switch (count) {
    case 1:
        return _mm_cvtsi32_si128(int(p[0]));
    case 2:
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    case 3:
        return _mm_insert_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), int(p[2]), 2);
    case 4:
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    default:
        return _mm_setzero_si128();
    }
}

[[gnu::always_inline]] inline void StoreQuarter(uint32_t* p, __m128i v, int32_t count)
{
    switch (count) {
    case 1:
        p[0] = uint32_t(_mm_cvtsi128_si32(v));
        break;
    case 2:
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        break;
    case 3:
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        p[2] = uint32_t(_mm_extract_epi32(v, 2));
        break;
    case 4:
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
        break;
    default:
        break;
    }
}

// count (0..8) pixels, read and written without touching their neighbours.
[[gnu::always_inline]] inline __m256i LoadPart(const uint32_t* p, int32_t count)
{
    const int32_t low = count < 4 ? count : 4;
    return _mm256_inserti128_si256(_mm256_castsi128_si256(LoadQuarter(p, low)), LoadQuarter(p + 4, count - low), 1);
}

[[gnu::always_inline]] inline void StorePart(uint32_t* p, __m256i v, int32_t count)
{
    const int32_t low = count < 4 ? count : 4;
    StoreQuarter(p, _mm256_castsi256_si128(v), low);
    StoreQuarter(p + 4, _mm256_extracti128_si256(v, 1), count - low);
}

// The pixels before dest's first 32-byte boundary, below 8.
[[gnu::always_inline]] inline int32_t HeadToAlign(const uint32_t* dest)
{
    return int32_t((32 - (reinterpret_cast<uintptr_t>(dest) & 31)) & 31) / 4;
}

// A row drawn by mix(destination group, source group), whose lanes are
// apart: whole groups on 32-byte boundaries, so that no store is split
// between cache lines. The ends are whole groups too, overlapping the aligned
// ones: both are worked out from the pixels as they were, before any store,
// so the pixels they share come out the same either way. Rows narrower than a
// group are read and written as parts of one.
template <typename Mix>
[[gnu::always_inline]] inline void AlignedRow(uint32_t* dest, const uint32_t* source, int32_t count, Mix mix)
{
    if (count < 8) {
        StorePart(dest, mix(LoadPart(dest, count), LoadPart(source, count)), count);
        return;
    }
    const __m256i first = mix(Load(dest), Load(source));
    const __m256i last = mix(Load(dest + count - 8), Load(source + count - 8));
    int32_t i = HeadToAlign(dest);
    // Two groups read before either is written: a write whose address
    // looks like that of a later read would otherwise hold the read back.
    for (; i + 16 <= count; i += 16) {
        const __m256i one = mix(Load(dest + i), Load(source + i));
        const __m256i two = mix(Load(dest + i + 8), Load(source + i + 8));
        _mm256_store_si256(reinterpret_cast<__m256i*>(dest + i), one);
        _mm256_store_si256(reinterpret_cast<__m256i*>(dest + i + 8), two);
    }
    if (i + 8 <= count)
        _mm256_store_si256(reinterpret_cast<__m256i*>(dest + i), mix(Load(dest + i), Load(source + i)));
    Store(dest, first);
    Store(dest + count - 8, last);
}

// source[indices[0..7]]. Indices within eight pixels of the first, as
// stretching and filtering have them, are read at once and moved into place.
[[gnu::always_inline]] inline __m256i GatherWords(const uint32_t* source, int32_t sourceCount, const int32_t* indices)
{
    const __m256i index = Load(indices);
    const int32_t first = indices[0];
    const __m256i offsets = _mm256_sub_epi32(index, _mm256_set1_epi32(first));
    if (first <= sourceCount - 8 && _mm256_testz_si256(offsets, _mm256_set1_epi32(~7)))
        return _mm256_permutevar8x32_epi32(Load(source + first), offsets);
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(source), index, 4);
}

// Groups of eight drawn by blend(d, s), passing over wholly transparent
// source groups. OnOpaque forms stop at a destination group not all opaque.
template <bool OnOpaque, typename Blend>
[[gnu::always_inline]] inline int32_t SourceGroups(uint32_t* dest, const uint32_t* source, int32_t count, Blend blend)
{
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = Load(source + i);
        if (AllTransparent(s))
            continue;
        const __m256i d = Load(dest + i);
        if constexpr (OnOpaque) {
            if (!AllOpaque(d))
                break;
        }
        Store(dest + i, blend(d, s));
    }
    return i;
}

// The loop is built once per form, so that no group tests which form it takes.
template <bool Grey>
int32_t OverTintedGroups(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* color)
{
    // Blue and red, then green and alpha (weighing 0); a grey tint is red.
    const __m256i tintRb =
        Grey ? _mm256_set1_epi16(short(color[2])) : _mm256_set1_epi32(int(color[2] << 16 | color[0]));
    const __m256i tintGa = _mm256_set1_epi32(int(Grey ? color[2] : color[1]));
    const __m256i tintAlpha = _mm256_set1_epi16(short(color[3]));
    return SourceGroups<true>(dest, source, count, [&](__m256i d, __m256i s) {
        return TintOverOpaque8<Grey>(d, s, tintRb, tintGa, tintAlpha);
    });
}

} // namespace

int32_t PixelKernelsAvx2::OverNative(uint32_t* dest, const uint32_t* source, int32_t count)
{
    const __m256i zero = _mm256_setzero_si256();
    auto scaled = [](__m256i d16, __m256i s16) {
        return _mm256_srli_epi16(_mm256_mullo_epi16(d16, _mm256_sub_epi16(_mm256_set1_epi16(256), AlphaOfEach(s16))),
                                 8);
    };
    return SourceGroups<false>(dest, source, count, [&](__m256i d, __m256i s) {
        // Alpha 255 keeps nothing of the destination.
        if (AllOpaque(s))
            return s;
        const __m256i kept = _mm256_packus_epi16(scaled(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero)),
                                                 scaled(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero)));
        const __m256i mixed = _mm256_add_epi32(_mm256_and_si256(kept, _mm256_set1_epi32(0x00FFFFFF)), s);
        return Select(TransparentLanes(s), d, mixed);
    });
}

int32_t PixelKernelsAvx2::OverNativeTinted(uint32_t* dest, const uint32_t* source, int32_t count,
                                           const uint32_t* tint)
{
    // Blue shares 16-bit lanes with red and green with alpha, picked out in
    // place; the alpha lane weighs 0 and is masked off, so it comes out 0.
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    const __m256i tintRb = _mm256_set1_epi32(int(tint[2] << 16 | tint[0]));
    const __m256i tintGa = _mm256_set1_epi32(int(tint[1]));
    const __m256i tintAlpha = _mm256_set1_epi16(short(tint[3]));
    // Opaque over opaque takes none of the destination.
    const __m256i opaqueAlpha = _mm256_set1_epi16(tint[3] == 255 ? 255 : -1);
    const __m256i spread = AlphaInBothHalves();
    return SourceGroups<false>(dest, source, count, [&](__m256i d, __m256i s) {
        // The weight 256 - a tint / 255 in both halves of each pixel, the
        // division as (x 0x8081) >> 23, exact below 65536.
        const __m256i alpha = _mm256_shuffle_epi8(s, spread);
        const __m256i weight = _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_mullo_epi16(alpha, tintAlpha),
                                                                    _mm256_set1_epi16(short(0x8081))),
                                                 7);
        const __m256i kk = _mm256_andnot_si256(_mm256_cmpeq_epi16(alpha, opaqueAlpha),
                                               _mm256_sub_epi16(_mm256_set1_epi16(256), weight));
        const __m256i keepRb = _mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), kk);
        const __m256i rb =
            _mm256_srli_epi16(_mm256_add_epi16(keepRb, _mm256_mullo_epi16(_mm256_and_si256(s, lowBytes), tintRb)), 8);
        const __m256i g = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(d, 8), kk),
                                           _mm256_mullo_epi16(_mm256_srli_epi16(s, 8), tintGa));
        const __m256i mixed = _mm256_blendv_epi8(rb, g, _mm256_set1_epi32(0x0000FF00));
        return Select(_mm256_cmpeq_epi32(alpha, _mm256_setzero_si256()), d, mixed);
    });
}

int32_t PixelKernelsAvx2::AddNative(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* tint)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i tintLanes = tint ? TintLanes(tint) : zero;
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i value = _mm256_and_si256(Load(source + i), colour);
        if (_mm256_testz_si256(value, value))
            continue;
        const __m256i black = _mm256_cmpeq_epi32(value, zero);
        if (tint)
            value = _mm256_packus_epi16(
                _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(value, zero), tintLanes), 8),
                _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(value, zero), tintLanes), 8));
        const __m256i d = Load(dest + i);
        Store(dest + i, Select(black, d, _mm256_and_si256(_mm256_adds_epu8(d, value), colour)));
    }
    return i;
}

int32_t PixelKernelsAvx2::BlendOnOpaque(uint32_t* dest, const uint32_t* source, int32_t count)
{
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = Load(source + i);
        Store(dest + i, BlendOnOpaque8(Load(dest + i), s, _mm256_shuffle_epi8(s, AlphaInBothHalves())));
    }
    return i;
}

int32_t PixelKernelsAvx2::BlendRow(uint32_t* dest, const uint32_t* source, int32_t count)
{
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = Load(source + i);
        if (_mm256_testz_si256(s, alpha))
            continue;
        if (_mm256_testc_si256(s, alpha)) {
            Store(dest + i, s);
            continue;
        }
        const __m256i d = Load(dest + i);
        // Weighed 256, an opaque pixel comes out as it is.
        const __m256i w = _mm256_shuffle_epi8(s, AlphaInBothHalves());
        const __m256i mixed = BlendOnOpaque8(d, s, _mm256_sub_epi16(w, _mm256_cmpeq_epi16(w, _mm256_set1_epi16(255))));
        Store(dest + i, _mm256_blendv_epi8(mixed, d, _mm256_cmpeq_epi32(w, _mm256_setzero_si256())));
    }
    return i;
}

int32_t PixelKernelsAvx2::Over(uint32_t* dest, const uint32_t* source, int32_t count)
{
    // Over an opaque pixel the weight is the source alpha.
    return SourceGroups<true>(dest, source, count, [](__m256i d, __m256i s) {
        return BlendOnOpaque8(d, s, _mm256_shuffle_epi8(s, AlphaInBothHalves()));
    });
}

int32_t PixelKernelsAvx2::OverTinted(uint32_t* dest, const uint32_t* source, int32_t count, const uint32_t* color,
                                     bool grey)
{
    return grey ? OverTintedGroups<true>(dest, source, count, color)
                : OverTintedGroups<false>(dest, source, count, color);
}

template <bool White, bool Translucent>
void PixelKernelsAvx2::AddRows(uint32_t* dest, size_t destPitch, const uint32_t* source, size_t sourcePitch,
                               int32_t width, int32_t height, const uint32_t* scale)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i scaleLanes = Lanes(uint16_t(scale[2]), uint16_t(scale[1]), uint16_t(scale[0]), 0);
    auto contribution = [&](__m256i s16) {
        __m256i add = s16;
        if constexpr (!White)
            add = _mm256_srli_epi16(_mm256_mullo_epi16(add, scaleLanes), 8);
        if constexpr (Translucent)
            add = _mm256_srli_epi16(_mm256_mullo_epi16(add, AlphaOfEach(s16)), 8);
        return _mm256_and_si256(add, Lanes(0xFFFF, 0xFFFF, 0xFFFF, 0));
    };
    auto mix = [&](__m256i d, __m256i s) {
        __m256i add;
        if constexpr (White && !Translucent)
            add = _mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF));
        else
            add = _mm256_packus_epi16(contribution(_mm256_unpacklo_epi8(s, zero)),
                                      contribution(_mm256_unpackhi_epi8(s, zero)));
        return _mm256_adds_epu8(d, add);
    };
    for (int32_t row = 0; row < height; ++row, dest += destPitch, source += sourcePitch)
        AlignedRow(dest, source, width, mix);
}

template void PixelKernelsAvx2::AddRows<true, true>(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t,
                                                    const uint32_t*);
template void PixelKernelsAvx2::AddRows<true, false>(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t,
                                                     const uint32_t*);
template void PixelKernelsAvx2::AddRows<false, true>(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t,
                                                     const uint32_t*);
template void PixelKernelsAvx2::AddRows<false, false>(uint32_t*, size_t, const uint32_t*, size_t, int32_t, int32_t,
                                                      const uint32_t*);

int32_t PixelKernelsAvx2::Gather(uint32_t* dest, const uint32_t* source, int32_t sourceCount,
                                 const int32_t* indices, int32_t count)
{
    int32_t i = 0;
    for (; i + 8 <= count; i += 8)
        Store(dest + i, GatherWords(source, sourceCount, indices + i));
    return i;
}

int32_t PixelKernelsAvx2::FillOver(uint32_t* dest, int32_t count, uint32_t color, uint32_t alpha)
{
    // Lanes shared as in BlendOnOpaque8: the colour's part of blue and red,
    // then of green (alpha's lane left 0), each c alpha.
    const __m256i keep = _mm256_set1_epi16(short(256 - alpha));
    const __m256i colorRb = _mm256_set1_epi32(int(((color >> 16) & 0xFF) * alpha << 16 | (color & 0xFF) * alpha));
    const __m256i colorGa = _mm256_set1_epi32(int(((color >> 8) & 0xFF) * alpha));
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i d = Load(dest + i);
        if (!AllOpaque(d))
            break;
        const __m256i rb = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), keep), colorRb), 8);
        const __m256i ga = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(d, 8), keep), colorGa);
        Store(dest + i, _mm256_blendv_epi8(_mm256_or_si256(rb, _mm256_set1_epi32(int(0xFF000000))), ga,
                                           _mm256_set1_epi32(0x0000FF00)));
    }
    return i;
}

void PixelKernelsAvx2::FillRows(uint32_t* dest, size_t pitch, int32_t width, int32_t height, uint32_t color)
{
    const __m256i pattern = _mm256_set1_epi32(int(color));
    for (int32_t row = 0; row < height; ++row, dest += pitch) {
        // Overlapping ends as whole groups, as AlignedRow has them.
        if (width < 8) {
            StorePart(dest, pattern, width);
            continue;
        }
        Store(dest, pattern);
        for (int32_t i = HeadToAlign(dest); i + 8 <= width; i += 8)
            _mm256_store_si256(reinterpret_cast<__m256i*>(dest + i), pattern);
        Store(dest + width - 8, pattern);
    }
}

void PixelKernelsAvx2::FilterCells(uint16_t* cells, const uint32_t* source, int32_t sourceCount,
                                   const int32_t* indices, const uint16_t* weights, int32_t groups, int32_t pairs)
{
    const __m256i zero = _mm256_setzero_si256();
    // The weights of a pair of taps of cells 0 and 2 (then 1 and 3), each
    // over its pixel's four lanes, as unpacking orders the gathered pixels.
    const __m256i firstCells = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 2, 3, 2, 3, 2, 3, 2, 3, 8, 9, 8, 9, 8, 9, 8,
                                                9, 10, 11, 10, 11, 10, 11, 10, 11);
    const __m256i secondCells = _mm256_add_epi8(firstCells, _mm256_set1_epi8(4));
    for (int32_t g = 0; g < groups; ++g, cells += 16) {
        __m256i first = zero;
        __m256i second = zero;
        for (int32_t p = 0; p < pairs; ++p, indices += 8, weights += 8) {
            const __m256i pixels = GatherWords(source, sourceCount, indices);
            const __m256i w = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(weights)));
            first = _mm256_add_epi16(first, _mm256_mullo_epi16(_mm256_unpacklo_epi8(pixels, zero),
                                                               _mm256_shuffle_epi8(w, firstCells)));
            second = _mm256_add_epi16(second, _mm256_mullo_epi16(_mm256_unpackhi_epi8(pixels, zero),
                                                                 _mm256_shuffle_epi8(w, secondCells)));
        }
        // Each cell's two taps of a pair side by side: added, then cells 0, 1
        // and 2, 3 put together.
        first = _mm256_add_epi16(first, _mm256_bsrli_epi128(first, 8));
        second = _mm256_add_epi16(second, _mm256_bsrli_epi128(second, 8));
        Store(cells, _mm256_unpacklo_epi64(first, second));
    }
}

int32_t PixelKernelsAvx2::CompositeFiltered(uint32_t* dest, const uint16_t* cells, size_t pitch,
                                            const FilterTap* taps, size_t tapCount, int32_t count)
{
    const __m256i zero = _mm256_setzero_si256();
    // Taps are taken two at a time by signed pair products, the values moved
    // down by 32768: the sums start that much times the weights higher.
    uint32_t weights = 0;
    for (size_t t = 0; t < tapCount; ++t)
        weights += uint32_t(taps[t].weight);
    const __m256i start = _mm256_set1_epi32(int(32768 * weights));
    const __m256i offset = _mm256_set1_epi16(short(0x8000));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        // Sums of values 0-7, 8-15, 16-23 and 24-31 of the eight pixels.
        __m256i sums[4] = {start, start, start, start};
        for (size_t t = 0; t < tapCount; t += 2) {
            // An odd last tap pairs with itself at weight 0.
            const FilterTap& second = t + 1 < tapCount ? taps[t + 1] : taps[t];
            const uint16_t* firstValues = cells + size_t(taps[t].source) * pitch + 4 * size_t(i);
            const uint16_t* secondValues = cells + size_t(second.source) * pitch + 4 * size_t(i);
            const __m256i w = _mm256_set1_epi32(int((t + 1 < tapCount ? uint32_t(second.weight) << 16 : 0) |
                                                    uint32_t(taps[t].weight)));
            for (int half = 0; half < 2; ++half) {
                // Reordered so that unpacking within each half gives values
                // in order.
                auto load = [&](const uint16_t* values) {
                    return _mm256_xor_si256(_mm256_permute4x64_epi64(Load(values + 16 * half), 0xD8), offset);
                };
                const __m256i a = load(firstValues);
                const __m256i b = load(secondValues);
                sums[2 * half] = _mm256_add_epi32(sums[2 * half], _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), w));
                sums[2 * half + 1] =
                    _mm256_add_epi32(sums[2 * half + 1], _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), w));
            }
        }
        // Pixels 0, 1, 4, 5 and 2, 3, 6, 7, as unpacking orders them.
        const __m256i first = FilteredChannels(sums[0], sums[2]);
        const __m256i second = FilteredChannels(sums[1], sums[3]);
        // Where every source alpha is 0 the pixels stay.
        const __m256i alpha = Lanes(0, 0, 0, 0xFFFF);
        if (_mm256_testz_si256(_mm256_or_si256(first, second), alpha))
            continue;
        // Where every one is 255 nothing of the destination is kept: the
        // colour is s 255 >> 8, the alpha 255.
        const __m256i opaque = Lanes(0, 0, 0, 255);
        if (_mm256_testc_si256(_mm256_and_si256(first, second), opaque)) {
            auto solid = [&](__m256i s) {
                return _mm256_or_si256(_mm256_srli_epi16(_mm256_mullo_epi16(s, _mm256_set1_epi16(255)), 8), opaque);
            };
            Store(dest + i, _mm256_packus_epi16(solid(first), solid(second)));
            continue;
        }
        const __m256i d = Load(dest + i);
        const __m256i low = CompositeFiltered16(_mm256_unpacklo_epi8(d, zero), first);
        const __m256i high = CompositeFiltered16(_mm256_unpackhi_epi8(d, zero), second);
        Store(dest + i, _mm256_packus_epi16(low, high));
    }
    return i;
}

} // namespace Lumo
