#pragma once

#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstdint>

namespace Lumo {

// The rotated blits' bilinear filter, two pixels at once in 16-bit lanes
// (blue, green, red, alpha each): every texel weighted by its area, from the
// 16-bit fractions, times its alpha, >> 16. Every sum stays below 65536.
class BilinearLanes {
public:
    struct Filtered {
        __m128i sums;    // each channel times its weight, summed
        __m128i alpha;   // the weights summed, in every lane of the pixel
    };

    // The offsets of four pixels' positions from the first's.
    static __m128i Steps(int32_t step) { return _mm_set_epi32(3 * step, 2 * step, step, 0); }

    // (position & 0xFFFE) + 1 of each of four pixels, twice in its lane.
    static __m128i Fractions(int32_t position, __m128i steps)
    {
        const __m128i f = _mm_or_si128(_mm_and_si128(_mm_add_epi32(_mm_set1_epi32(position), steps),
                                                     _mm_set1_epi32(0xFFFE)),
                                       _mm_set1_epi32(1));
        return _mm_or_si128(f, _mm_slli_epi32(f, 16));
    }

    // The fractions of pixels 0, 1 (pair 0) or 2, 3, each in all its lanes.
    static __m128i OfPair(__m128i fractions, int pair)
    {
        return pair == 0 ? _mm_shuffle_epi32(fractions, 0x50) : _mm_shuffle_epi32(fractions, 0xFA);
    }

    // top: texels 0 of both pixels, then texels 1; bottom: texels 2, then 3.
    // Each weight is scaled by alphaScale / 256 when Scaled.
    template <bool Scaled>
    static Filtered Two(__m128i top, __m128i bottom, __m128i x, __m128i y, __m128i alphaScale)
    {
        const __m128i zero = _mm_setzero_si128();
        // 0x10000 - f, which the 16-bit lanes hold as 0 - f for f >= 1.
        const __m128i restX = _mm_sub_epi16(zero, x);
        const __m128i restY = _mm_sub_epi16(zero, y);
        const __m128i areas[4] = {_mm_mulhi_epu16(restX, restY), _mm_mulhi_epu16(x, restY),
                                  _mm_mulhi_epu16(restX, y), _mm_mulhi_epu16(x, y)};
        const __m128i texels[4] = {_mm_unpacklo_epi8(top, zero), _mm_unpackhi_epi8(top, zero),
                                   _mm_unpacklo_epi8(bottom, zero), _mm_unpackhi_epi8(bottom, zero)};
        Filtered filtered{zero, zero};
        for (int t = 0; t < 4; ++t) {
            __m128i weight =
                _mm_mulhi_epu16(areas[t], _mm_shufflehi_epi16(_mm_shufflelo_epi16(texels[t], 0xFF), 0xFF));
            if constexpr (Scaled)
                weight = _mm_srli_epi16(_mm_mullo_epi16(weight, alphaScale), 8);
            filtered.alpha = _mm_add_epi16(filtered.alpha, weight);
            filtered.sums = _mm_add_epi16(filtered.sums, _mm_mullo_epi16(texels[t], weight));
        }
        return filtered;
    }
};

} // namespace Lumo

#endif
