#include "platform/backends/FrameConverter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Platform {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

#if defined(__SSE2__)
bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

bool IsArgbLayout(const FrameFormat& format)
{
    return format.bits == 32 && format.red == 0x00FF0000u && format.green == 0x0000FF00u &&
           format.blue == 0x000000FFu;
}

} // namespace

FrameConverter::FrameConverter(const FrameFormat& format)
    : mFormat(format), mRed(format.red), mGreen(format.green), mBlue(format.blue), mAlpha(format.alpha),
      mLifts{mRed.lift, mGreen.lift, mBlue.lift}
{
    if (IsArgbLayout(format) && format.alpha == kOpaque)
        mKind = Kind::Copy;
    else if (IsArgbLayout(format) && format.alpha == 0)
        mKind = Kind::Opaque;
    else if (format.bits == 16 && format.alpha == 0 && mRed.lift.multiplier && mGreen.lift.multiplier &&
             mBlue.lift.multiplier)
        mKind = Kind::Wide16;
}

const FrameConverter& FrameConverter::For(const FrameFormat& format)
{
    thread_local std::optional<FrameConverter> kept;
    if (!kept || !(kept->mFormat == format))
        kept.emplace(format);
    return *kept;
}

void FrameConverter::ConvertRow(const uint8_t* source, uint32_t* dest, int32_t width) const
{
    switch (mKind) {
    case Kind::Copy:
        std::memcpy(dest, source, size_t(width) * 4);
        return;
    case Kind::Opaque:
        ConvertOpaque(reinterpret_cast<const uint32_t*>(source), dest, width);
        return;
    case Kind::Wide16:
        ConvertWide16(reinterpret_cast<const uint16_t*>(source), dest, width);
        return;
    case Kind::Any:
        ConvertAny(source, dest, width);
        return;
    }
}

void FrameConverter::ConvertOpaque(const uint32_t* source, uint32_t* dest, int32_t width)
{
    int32_t x = 0;
#if defined(__SSE2__)
    if (HasAvx2())
        x = OpaqueRowAvx2(source, dest, width);
    const __m128i opaque = _mm_set1_epi32(int32_t(kOpaque));
    for (; x + 8 <= width; x += 8) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + x), _mm_or_si128(low, opaque));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + x + 4), _mm_or_si128(high, opaque));
    }
#endif
    for (; x < width; ++x)
        dest[x] = source[x] | kOpaque;
}

void FrameConverter::ConvertWide16(const uint16_t* source, uint32_t* dest, int32_t width) const
{
    int32_t x = 0;
#if defined(__SSE2__)
    if (HasAvx2())
        x = WidenRowAvx2(source, dest, width, mLifts);
    struct Lifted {
        __m128i right, left, mask, multiplier;
    };
    Lifted lifted[3];
    for (int i = 0; i < 3; ++i) {
        const ChannelLift& c = mLifts[i];
        lifted[i] = Lifted{_mm_cvtsi32_si128(int(c.offset > c.lift ? c.offset - c.lift : 0)),
                           _mm_cvtsi32_si128(int(c.lift > c.offset ? c.lift - c.offset : 0)),
                           _mm_set1_epi16(int16_t(c.maximum << c.lift)), _mm_set1_epi16(int16_t(c.multiplier))};
    }
    auto widen = [&](__m128i pixels, int i) {
        const __m128i placed = _mm_sll_epi16(_mm_srl_epi16(pixels, lifted[i].right), lifted[i].left);
        return _mm_mulhi_epu16(_mm_and_si128(placed, lifted[i].mask), lifted[i].multiplier);
    };
    const __m128i alpha = _mm_set1_epi16(int16_t(0xFF00));
    for (; x + 8 <= width; x += 8) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        const __m128i greenBlue = _mm_or_si128(_mm_slli_epi16(widen(pixels, 1), 8), widen(pixels, 2));
        const __m128i alphaRed = _mm_or_si128(widen(pixels, 0), alpha);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + x), _mm_unpacklo_epi16(greenBlue, alphaRed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + x + 4), _mm_unpackhi_epi16(greenBlue, alphaRed));
    }
#endif
    ConvertAny(reinterpret_cast<const uint8_t*>(source + x), dest + x, width - x);
}

void FrameConverter::ConvertAny(const uint8_t* source, uint32_t* dest, int32_t width) const
{
    const size_t bytes = mFormat.bits / 8;
    for (int32_t x = 0; x < width; ++x) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, source + size_t(x) * bytes, bytes);
        const uint32_t alpha = mFormat.alpha ? mAlpha.Read(pixel) : 255;
        dest[x] = (alpha << 24) | (mRed.Read(pixel) << 16) | (mGreen.Read(pixel) << 8) | mBlue.Read(pixel);
    }
}

int32_t FrameConverter::ConvertChanged(const ShownFrame& frame, uint8_t* dest, int32_t destPitch, int32_t destTop,
                                       bool all) const
{
    // Rows that follow on from one another in both frames go through as one
    // long row, which spares each row's start and the kernel's short tails.
    const bool joined =
        frame.pitch == int64_t(frame.width) * (mFormat.bits / 8) && destPitch == int64_t(frame.width) * 4;
    const int32_t rowsPerRun = joined && frame.width > 0 ? std::max(1, INT32_MAX / frame.width) : 1;
    int32_t converted = 0;
    auto convert = [&](int32_t top, int32_t bottom) {
        for (int32_t y = top; y < bottom;) {
            const int32_t rows = std::min(bottom - y, rowsPerRun);
            ConvertRow(frame.Row(y), reinterpret_cast<uint32_t*>(dest + int64_t(y - destTop) * destPitch),
                       frame.width * rows);
            y += rows;
        }
        converted += bottom - top;
    };
    if (all || !frame.rows)
        convert(0, frame.height);
    else
        frame.rows->ForEachSpan(convert);
    return converted;
}

} // namespace Platform
