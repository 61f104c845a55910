#include "platform/display/DevicePixels.h"

#include "platform/display/Direct3DTypes.h"
#include "platform/display/DirectDrawPalette.h"
#include "platform/display/DirectDrawSurface.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Platform {

DevicePixels DevicePixels::Of(DirectDrawSurface* surface, std::array<uint32_t, 256>& paletteStore)
{
    DevicePixels layout;
    const DDPIXELFORMAT& format = surface->Format();
    layout.pixels = surface->Memory();
    layout.pitch = surface->Pitch();
    layout.width = surface->Width();
    layout.height = surface->Height();
    layout.bytes = int32_t(format.dwRGBBitCount / 8);
    const uint32_t masks[4] = {(format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0,
                               format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
    for (int i = 0; i < 4; ++i) {
        layout.masks[i] = masks[i];
        if (masks[i] == 0)
            continue;
        layout.shifts[i] = uint32_t(std::countr_zero(masks[i]));
        layout.maxima[i] = masks[i] >> layout.shifts[i];
        if (layout.maxima[i] <= 255)
            layout.widen[i] = ((255u << 16) + layout.maxima[i] - 1) / layout.maxima[i];
    }
    if (format.dwFlags & DDPF_PALETTEINDEXED8) {
        layout.kind = Kind::Palette8;
        DDPALETTEENTRY entries[256];
        if (DirectDrawPalette* palette = surface->Palette(); palette && SUCCEEDED(palette->GetEntries(0, 0, 256, entries)))
            for (size_t i = 0; i < 256; ++i)
                paletteStore[i] = uint32_t(entries[i].peFlags) << 24 | uint32_t(entries[i].peRed) << 16 |
                                  uint32_t(entries[i].peGreen) << 8 | entries[i].peBlue;
        else
            paletteStore.fill(0xFF000000);
        layout.palette = paletteStore.data();
    } else if (layout.bytes == 4 && masks[1] == 0x00FF0000 && masks[2] == 0x0000FF00 && masks[3] == 0x000000FF &&
               (masks[0] == 0 || masks[0] == 0xFF000000)) {
        layout.kind = masks[0] ? Kind::Argb32 : Kind::Xrgb32;
    } else if (layout.bytes == 2 && layout.maxima[0] <= 255 && layout.maxima[1] <= 255 && layout.maxima[2] <= 255 &&
               layout.maxima[3] <= 255) {
        layout.kind = Kind::Packed16;
    }
    return layout;
}

uint32_t DevicePixels::ToArgb(uint32_t raw) const
{
    switch (kind) {
    case Kind::Argb32:
        return raw;
    case Kind::Xrgb32:
        return raw | 0xFF000000;
    case Kind::Palette8:
        return palette[raw & 0xFF];
    case Kind::Packed16:
    case Kind::Packed:
        break;
    }
    return Widen(raw);
}

uint32_t DevicePixels::FromArgb(uint32_t argb) const
{
    switch (kind) {
    case Kind::Argb32:
        return argb;
    case Kind::Xrgb32:
        return argb & 0x00FFFFFF;
    case Kind::Palette8:
        return 0;
    case Kind::Packed16:
    case Kind::Packed:
        break;
    }
    uint32_t raw = 0;
    for (int i = 0; i < 4; ++i) {
        if (!maxima[i])
            continue;
        const uint32_t channel = (argb >> (24 - 8 * i)) & 0xFF;
        // The top bits, as the 2D routines narrow.
        const uint32_t value = widen[i] ? channel >> (8 - std::bit_width(maxima[i]))
                                        : uint32_t(uint64_t(channel) * maxima[i] / 255);
        raw |= (value << shifts[i]) & masks[i];
    }
    return raw;
}

namespace {

#if defined(__SSE2__)
// v * 255 / (2^bits - 1) for v of 1 to 8 bits in 16-bit lanes, as the high
// half of (v << (16 - shift)) * multiplier.
struct WidenStep {
    int32_t shift;
    int32_t multiplier;
};
constexpr WidenStep kWidenSteps[9] = {{0, 0},    {8, 65280}, {8, 21760},  {8, 9326}, {8, 4352},
                                      {8, 2106}, {10, 4145}, {13, 16449}, {8, 256}};
#endif

} // namespace

void DevicePixels::WidenRow(const uint8_t* raw, int32_t count, uint32_t* argb, uint32_t alpha) const
{
#if defined(__SSE2__)
    // Per channel: its bits moved to the top of v << (16 - shift), then the
    // multiplier; a channel without bits is the constant it reads as.
    __m128i masksOf[4], multipliers[4], rights[4], lefts[4], constants[4];
    for (int c = 0; c < 4; ++c) {
        const WidenStep step = kWidenSteps[std::bit_width(maxima[c])];
        const int32_t move = 16 - step.shift - int32_t(shifts[c]);
        masksOf[c] = _mm_set1_epi16(short(masks[c]));
        multipliers[c] = _mm_set1_epi16(short(step.multiplier));
        rights[c] = _mm_cvtsi32_si128(move < 0 ? -move : 0);
        lefts[c] = _mm_cvtsi32_si128(move > 0 ? move : 0);
        constants[c] = _mm_set1_epi16(short(maxima[c] ? 0 : c == 0 ? alpha : 255));
    }
    auto channel = [&](__m128i pixels, int c) {
        const __m128i bits = _mm_sll_epi16(_mm_srl_epi16(_mm_and_si128(pixels, masksOf[c]), rights[c]), lefts[c]);
        return _mm_or_si128(_mm_mulhi_epu16(bits, multipliers[c]), constants[c]);
    };
    auto group = [&](const uint8_t* from, uint32_t* to) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i blueGreen = _mm_or_si128(channel(pixels, 3), _mm_slli_epi16(channel(pixels, 2), 8));
        const __m128i redAlpha = _mm_or_si128(channel(pixels, 1), _mm_slli_epi16(channel(pixels, 0), 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi16(blueGreen, redAlpha));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4), _mm_unpackhi_epi16(blueGreen, redAlpha));
    };
    int32_t i = 0;
    for (; i + 8 <= count; i += 8)
        group(raw + 2 * i, argb + i);
    // The last few through a group of their own.
    if (i < count) {
        uint8_t from[16] = {};
        uint32_t to[8];
        std::memcpy(from, raw + 2 * i, size_t(count - i) * 2);
        group(from, to);
        std::memcpy(argb + i, to, size_t(count - i) * 4);
    }
#else
    for (int32_t i = 0; i < count; ++i) {
        uint16_t value;
        std::memcpy(&value, raw + 2 * i, 2);
        argb[i] = masks[0] ? Widen(value) : (Widen(value) & 0x00FFFFFF) | alpha << 24;
    }
#endif
}

void DevicePixels::NarrowRow(const uint32_t* argb, int32_t count, uint8_t* raw) const
{
#if defined(__SSE2__)
    // Each channel's top bits moved straight to their place.
    __m128i masksOf[4], rights[4], lefts[4];
    for (int c = 0; c < 4; ++c) {
        const int32_t move = 32 - 8 * c - std::bit_width(maxima[c]) - int32_t(shifts[c]);
        masksOf[c] = _mm_set1_epi32(int(maxima[c] ? masks[c] : 0));
        rights[c] = _mm_cvtsi32_si128(move > 0 ? move : 0);
        lefts[c] = _mm_cvtsi32_si128(move < 0 ? -move : 0);
    }
    auto narrow = [&](__m128i pixels) {
        __m128i out = _mm_setzero_si128();
        for (int c = 0; c < 4; ++c)
            out = _mm_or_si128(out, _mm_and_si128(_mm_sll_epi32(_mm_srl_epi32(pixels, rights[c]), lefts[c]),
                                                  masksOf[c]));
        // Sign-extended from 16 bits, so the saturating pack keeps each.
        return _mm_srai_epi32(_mm_slli_epi32(out, 16), 16);
    };
    auto group = [&](const uint32_t* from, uint8_t* to) {
        const __m128i low = narrow(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
        const __m128i high = narrow(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 4)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_packs_epi32(low, high));
    };
    int32_t i = 0;
    for (; i + 8 <= count; i += 8)
        group(argb + i, raw + 2 * i);
    if (i < count) {
        uint32_t from[8] = {};
        uint8_t to[16];
        std::memcpy(from, argb + i, size_t(count - i) * 4);
        group(from, to);
        std::memcpy(raw + 2 * i, to, size_t(count - i) * 2);
    }
#else
    for (int32_t i = 0; i < count; ++i) {
        const uint16_t value = uint16_t(FromArgb(argb[i]));
        std::memcpy(raw + 2 * i, &value, 2);
    }
#endif
}

void DevicePixels::ReadRow(int32_t x, int32_t y, int32_t count, uint32_t* argb) const
{
    const uint8_t* at = Row(y) + ptrdiff_t(x) * bytes;
    if (kind == Kind::Packed16) {
        WidenRow(at, count, argb);
        return;
    }
    for (int32_t i = 0; i < count; ++i)
        argb[i] = ToArgb(Raw(at + ptrdiff_t(i) * bytes));
}

void DevicePixels::WriteRow(int32_t x, int32_t y, int32_t count, const uint32_t* argb) const
{
    uint8_t* at = Row(y) + ptrdiff_t(x) * bytes;
    if (kind == Kind::Packed16) {
        NarrowRow(argb, count, at);
        return;
    }
    for (int32_t i = 0; i < count; ++i)
        Store(at + ptrdiff_t(i) * bytes, FromArgb(argb[i]));
}

} // namespace Platform
