#include "platform/backends/FrameConverterAvx2.h"

#include <immintrin.h>

namespace Platform {

namespace {

struct Lifted {
    __m128i right;
    __m128i left;
    __m256i mask;
    __m256i multiplier;

    explicit Lifted(const ChannelLift& c)
        : right(_mm_cvtsi32_si128(int(c.offset > c.lift ? c.offset - c.lift : 0))),
          left(_mm_cvtsi32_si128(int(c.lift > c.offset ? c.lift - c.offset : 0))),
          mask(_mm256_set1_epi16(int16_t(c.maximum << c.lift))), multiplier(_mm256_set1_epi16(int16_t(c.multiplier)))
    {
    }
    __m256i Widen(__m256i pixels) const
    {
        const __m256i placed = _mm256_sll_epi16(_mm256_srl_epi16(pixels, right), left);
        return _mm256_mulhi_epu16(_mm256_and_si256(placed, mask), multiplier);
    }
};

// Inlined with the lifts of 565 as constants, the shifts by none drop out
// and the others take immediates: the widening is bound by its instructions.
[[gnu::always_inline]] inline int32_t WidenRow(const uint16_t* source, uint32_t* dest, int32_t width,
                                               const ChannelLift (&channels)[3])
{
    const Lifted red(channels[0]), green(channels[1]), blue(channels[2]);
    const __m256i alpha = _mm256_set1_epi16(int16_t(0xFF00));
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + x));
        const __m256i greenBlue = _mm256_or_si256(_mm256_slli_epi16(green.Widen(pixels), 8), blue.Widen(pixels));
        const __m256i alphaRed = _mm256_or_si256(red.Widen(pixels), alpha);
        // The unpacking works within each half: the quarters go back in order.
        const __m256i low = _mm256_unpacklo_epi16(greenBlue, alphaRed);
        const __m256i high = _mm256_unpackhi_epi16(greenBlue, alphaRed);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + x), _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + x + 8), _mm256_permute2x128_si256(low, high, 0x31));
    }
    return x;
}

constexpr ChannelLift k565[3] = {LiftOf(0xF800), LiftOf(0x07E0), LiftOf(0x001F)};

} // namespace

int32_t WidenRowAvx2(const uint16_t* source, uint32_t* dest, int32_t width, const ChannelLift (&channels)[3])
{
    if (channels[0] == k565[0] && channels[1] == k565[1] && channels[2] == k565[2])
        return WidenRow(source, dest, width, k565);
    return WidenRow(source, dest, width, channels);
}

int32_t OpaqueRowAvx2(const uint32_t* source, uint32_t* dest, int32_t width)
{
    const __m256i opaque = _mm256_set1_epi32(int32_t(0xFF000000u));
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + x));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + x + 8));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + x), _mm256_or_si256(low, opaque));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + x + 8), _mm256_or_si256(high, opaque));
    }
    return x;
}

} // namespace Platform
