#include "platform/backends/FrameScaler.h"

#include <emmintrin.h>

#include <algorithm>

namespace Platform {

namespace {

// a and b blended byte by byte, b weighing weight of 256; two bytes in each
// half-word lane, which 255 * 256 plus rounding cannot overflow.
uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight)
{
    const uint32_t keep = 256 - weight;
    const uint32_t evenBytes = ((a & 0x00FF00FF) * keep + (b & 0x00FF00FF) * weight + 0x00800080) >> 8;
    const uint32_t oddBytes = ((a >> 8) & 0x00FF00FF) * keep + ((b >> 8) & 0x00FF00FF) * weight + 0x00800080;
    return (evenBytes & 0x00FF00FF) | (oddBytes & 0xFF00FF00);
}

// Sums of weighted bytes in 16-bit lanes, rounded back to bytes: the same
// sums as Blend's.
__m128i Rounded(__m128i low, __m128i high)
{
    const __m128i half = _mm_set1_epi16(0x80);
    return _mm_packus_epi16(_mm_srli_epi16(_mm_add_epi16(low, half), 8), _mm_srli_epi16(_mm_add_epi16(high, half), 8));
}

} // namespace

std::vector<FrameScaler::Tap> FrameScaler::TapsOf(int32_t sourceSize, int32_t size)
{
    std::vector<Tap> taps(size_t(std::max(0, size)));
    for (int32_t i = 0; i < size; ++i) {
        // The scaled pixel's centre in the source, in 16.16 fixed point.
        const int64_t at =
            std::max<int64_t>(0, (int64_t(2 * i + 1) * sourceSize << 16) / (2 * int64_t(size)) - 0x8000);
        Tap& tap = taps[size_t(i)];
        tap.index = int32_t(at >> 16);
        tap.weight = uint32_t(at >> 8) & 0xFF;
        // Past the last centre the last pixel holds, read as the whole
        // weight of the next, so that two neighbours can always be read.
        if (tap.index >= sourceSize - 1) {
            tap.index = std::max(0, sourceSize - 2);
            tap.weight = sourceSize > 1 ? 256 : 0;
        }
    }
    return taps;
}

void FrameScaler::Resize(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height)
{
    mPairs = sourceWidth > 1;
    mColumns = TapsOf(sourceWidth, width);
    mRows = TapsOf(sourceHeight, height);
    mColumnWeights.clear();
    for (const Tap& tap : mColumns) {
        mColumnWeights.insert(mColumnWeights.end(), 4, uint16_t(256 - tap.weight));
        mColumnWeights.insert(mColumnWeights.end(), 4, uint16_t(tap.weight));
    }
    for (int slot = 0; slot < 2; ++slot) {
        mWide[slot].resize(size_t(std::max(0, width)));
        mWideRow[slot] = -1;
    }
}

int32_t FrameScaler::FirstRowReading(int32_t top) const
{
    // A row reads its tap's row and, with a weight, the next one.
    const auto reads = [top](const Tap& tap) { return tap.index + (tap.weight ? 1 : 0) >= top; };
    return int32_t(std::find_if(mRows.begin(), mRows.end(), reads) - mRows.begin());
}

int32_t FrameScaler::EndRowReading(int32_t bottom) const
{
    const auto past = [bottom](const Tap& tap) { return tap.index >= bottom; };
    return int32_t(std::find_if(mRows.begin(), mRows.end(), past) - mRows.begin());
}

const uint32_t* FrameScaler::Widened(const uint32_t* source, int32_t sourcePitch, int32_t row, int32_t slot)
{
    std::vector<uint32_t>& wide = mWide[slot];
    if (mWideRow[slot] == row)
        return wide.data();
    mWideRow[slot] = row;
    const uint32_t* line = source + int64_t(row) * sourcePitch;
    const size_t width = mColumns.size();
    size_t x = 0;
    if (mPairs) {
        // Two scaled pixels at a time, each from its two neighbours side by side.
        const __m128i zero = _mm_setzero_si128();
        for (; x + 2 <= width; x += 2) {
            const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(line + mColumns[x].index));
            const __m128i second = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(line + mColumns[x + 1].index));
            const __m128i* weights = reinterpret_cast<const __m128i*>(mColumnWeights.data() + 8 * x);
            const __m128i one = _mm_mullo_epi16(_mm_unpacklo_epi8(first, zero), _mm_loadu_si128(weights));
            const __m128i two = _mm_mullo_epi16(_mm_unpacklo_epi8(second, zero), _mm_loadu_si128(weights + 1));
            // Each pixel's two weighted neighbours summed in the low half.
            const __m128i sums = _mm_unpacklo_epi64(_mm_add_epi16(one, _mm_srli_si128(one, 8)),
                                                    _mm_add_epi16(two, _mm_srli_si128(two, 8)));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(wide.data() + x), Rounded(sums, _mm_setzero_si128()));
        }
    }
    for (; x < width; ++x) {
        const Tap& tap = mColumns[x];
        wide[x] = tap.weight ? Blend(line[tap.index], line[tap.index + 1], tap.weight) : line[tap.index];
    }
    return wide.data();
}

void FrameScaler::ScaleRows(const uint32_t* source, int32_t sourcePitch, int32_t first, int32_t end, uint8_t* dest,
                            int32_t destPitch)
{
    // The source may have changed since the last call.
    mWideRow[0] = mWideRow[1] = -1;
    const size_t width = mColumns.size();
    const __m128i zero = _mm_setzero_si128();
    for (int32_t y = first; y < end; ++y) {
        const Tap& tap = mRows[size_t(y)];
        uint32_t* out = reinterpret_cast<uint32_t*>(dest + int64_t(y - first) * destPitch);
        // Rows go down, so the lower row of one is often the upper of the next.
        const int32_t upperSlot = mWideRow[1] == tap.index ? 1 : 0;
        const uint32_t* upper = Widened(source, sourcePitch, tap.index, upperSlot);
        if (!tap.weight) {
            std::copy(upper, upper + width, out);
            continue;
        }
        const uint32_t* lower = Widened(source, sourcePitch, tap.index + 1, 1 - upperSlot);
        const __m128i keep = _mm_set1_epi16(int16_t(256 - tap.weight));
        const __m128i weight = _mm_set1_epi16(int16_t(tap.weight));
        size_t x = 0;
        for (; x + 4 <= width; x += 4) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x));
            const __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), keep),
                                              _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), weight));
            const __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), keep),
                                               _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), weight));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), Rounded(low, high));
        }
        for (; x < width; ++x)
            out[x] = Blend(upper[x], lower[x], tap.weight);
    }
}

} // namespace Platform
