#include "platform/backends/FrameNarrower.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Platform {

namespace {

constexpr int kOrder[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Added to value * maximum before the division by 255. Anywhere from
// maximum - 1 to 255 - maximum a widened step (step * 255 / maximum) comes
// back as its step; the sixteen thresholds spread over that range, centred
// on half a step.
constexpr uint32_t Threshold(uint32_t maximum, int32_t x, int32_t y)
{
    return maximum - 1 + (256 - 2 * maximum) * uint32_t(kOrder[y & 3][x & 3]) / 15;
}

// (value * maximum + threshold) / 255, exact for every sum below 65535.
constexpr uint32_t Narrowed(uint32_t value, uint32_t maximum, uint32_t threshold)
{
    const uint32_t sum = value * maximum + threshold;
    return (sum + 1 + (sum >> 8)) >> 8;
}

} // namespace

void FrameNarrower::NarrowRow(const uint32_t* source, uint16_t* dest, int32_t width, int32_t y)
{
    int32_t x = 0;
#if defined(__SSE2__)
    auto thresholds = [y](uint32_t maximum) {
        return _mm_setr_epi16(int16_t(Threshold(maximum, 0, y)), int16_t(Threshold(maximum, 1, y)),
                              int16_t(Threshold(maximum, 2, y)), int16_t(Threshold(maximum, 3, y)),
                              int16_t(Threshold(maximum, 0, y)), int16_t(Threshold(maximum, 1, y)),
                              int16_t(Threshold(maximum, 2, y)), int16_t(Threshold(maximum, 3, y)));
    };
    const __m128i fives = thresholds(31), sixes = thresholds(63);
    const __m128i byte = _mm_set1_epi32(0xFF), one = _mm_set1_epi16(1);
    const __m128i five = _mm_set1_epi16(31), six = _mm_set1_epi16(63);
    for (; x + 8 <= width; x += 8) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x + 4));
        // One channel of the eight pixels in 16-bit lanes, narrowed.
        auto narrowed = [&](int shift, __m128i maximum, __m128i threshold) {
            const __m128i value = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(low, shift), byte),
                                                  _mm_and_si128(_mm_srli_epi32(high, shift), byte));
            const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(value, maximum), threshold);
            return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(sum, one), _mm_srli_epi16(sum, 8)), 8);
        };
        const __m128i pixels = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(narrowed(16, five, fives), 11),
                                                         _mm_slli_epi16(narrowed(8, six, sixes), 5)),
                                            narrowed(0, five, fives));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + x), pixels);
    }
#endif
    for (; x < width; ++x) {
        const uint32_t pixel = source[x];
        dest[x] = uint16_t(Narrowed(pixel >> 16 & 0xFF, 31, Threshold(31, x, y)) << 11 |
                           Narrowed(pixel >> 8 & 0xFF, 63, Threshold(63, x, y)) << 5 |
                           Narrowed(pixel & 0xFF, 31, Threshold(31, x, y)));
    }
}

} // namespace Platform
