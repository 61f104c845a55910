#include "platform/display/DevicePixels.h"

#include "platform/display/Direct3DTypes.h"
#include "platform/display/DirectDrawPalette.h"
#include "platform/display/DirectDrawSurface.h"

#include <algorithm>
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
        DirectDrawPalette* palette = surface->Palette();
        if (palette && SUCCEEDED(palette->GetEntries(0, 0, 256, entries)))
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

// The channels of a 16-bit layout: alpha, red, green, blue.
struct Channels16 {
    uint32_t masks[4];
    uint32_t shifts[4];
    uint32_t maxima[4];
};

constexpr Channels16 k565{{0, 0xF800, 0x07E0, 0x001F}, {0, 11, 5, 0}, {0, 31, 63, 31}};

Channels16 ChannelsOf(const DevicePixels& layout)
{
    Channels16 channels;
    std::copy(layout.masks, layout.masks + 4, channels.masks);
    std::copy(layout.shifts, layout.shifts + 4, channels.shifts);
    std::copy(layout.maxima, layout.maxima + 4, channels.maxima);
    return channels;
}

bool Is565(const DevicePixels& layout)
{
    return std::equal(layout.masks, layout.masks + 4, k565.masks);
}

// The rows below are inlined with the channels of 565 as constants as well:
// the absent alpha drops out and the shifts take immediates.

// Channel C of eight pixels: its bits moved to the top of v << (16 - shift),
// then the multiplier; a channel without bits is the constant it reads as.
template <int C>
[[gnu::always_inline]] inline __m128i WidenChannel(const Channels16& layout, __m128i pixels, uint32_t alpha)
{
    if (!layout.maxima[C])
        return _mm_set1_epi16(short(C == 0 ? alpha : 255));
    const WidenStep step = kWidenSteps[std::bit_width(layout.maxima[C])];
    const int32_t move = 16 - step.shift - int32_t(layout.shifts[C]);
    const __m128i bits = _mm_and_si128(pixels, _mm_set1_epi16(short(layout.masks[C])));
    const __m128i placed = _mm_sll_epi16(_mm_srl_epi16(bits, _mm_cvtsi32_si128(move < 0 ? -move : 0)),
                                         _mm_cvtsi32_si128(move > 0 ? move : 0));
    return _mm_mulhi_epu16(placed, _mm_set1_epi16(short(step.multiplier)));
}

// Eight pixels.
[[gnu::always_inline]] inline void WidenGroup(const Channels16& layout, const uint8_t* from, uint32_t* to,
                                              uint32_t alpha)
{
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i blueGreen =
        _mm_or_si128(WidenChannel<3>(layout, pixels, alpha), _mm_slli_epi16(WidenChannel<2>(layout, pixels, alpha), 8));
    const __m128i redAlpha =
        _mm_or_si128(WidenChannel<1>(layout, pixels, alpha), _mm_slli_epi16(WidenChannel<0>(layout, pixels, alpha), 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi16(blueGreen, redAlpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4), _mm_unpackhi_epi16(blueGreen, redAlpha));
}

[[gnu::always_inline]] inline void Widen16(const Channels16& layout, const uint8_t* raw, int32_t count, uint32_t* argb,
                                           uint32_t alpha)
{
    int32_t i = 0;
    for (; i + 8 <= count; i += 8)
        WidenGroup(layout, raw + 2 * i, argb + i, alpha);
    // The last few through a group of their own.
    if (i < count) {
        uint8_t from[16] = {};
        uint32_t to[8];
        std::memcpy(from, raw + 2 * i, size_t(count - i) * 2);
        WidenGroup(layout, from, to, alpha);
        std::memcpy(argb + i, to, size_t(count - i) * 4);
    }
}

// Channel C of four pixels: its top bits moved straight to their place.
template <int C>
[[gnu::always_inline]] inline __m128i NarrowChannel(const Channels16& layout, __m128i pixels)
{
    if (!layout.maxima[C])
        return _mm_setzero_si128();
    const int32_t move = 32 - 8 * C - std::bit_width(layout.maxima[C]) - int32_t(layout.shifts[C]);
    const __m128i placed = _mm_sll_epi32(_mm_srl_epi32(pixels, _mm_cvtsi32_si128(move > 0 ? move : 0)),
                                         _mm_cvtsi32_si128(move < 0 ? -move : 0));
    return _mm_and_si128(placed, _mm_set1_epi32(int(layout.masks[C])));
}

// Four pixels, sign-extended from 16 bits so that the saturating pack keeps each.
[[gnu::always_inline]] inline __m128i NarrowQuad(const Channels16& layout, __m128i pixels)
{
    const __m128i out = _mm_or_si128(_mm_or_si128(NarrowChannel<0>(layout, pixels), NarrowChannel<1>(layout, pixels)),
                                     _mm_or_si128(NarrowChannel<2>(layout, pixels), NarrowChannel<3>(layout, pixels)));
    return _mm_srai_epi32(_mm_slli_epi32(out, 16), 16);
}

// Eight pixels.
[[gnu::always_inline]] inline void NarrowGroup(const Channels16& layout, const uint32_t* from, uint8_t* to)
{
    const __m128i low = NarrowQuad(layout, _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
    const __m128i high = NarrowQuad(layout, _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 4)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_packs_epi32(low, high));
}

[[gnu::always_inline]] inline void Narrow16(const Channels16& layout, const uint32_t* argb, int32_t count,
                                            uint8_t* raw)
{
    int32_t i = 0;
    for (; i + 8 <= count; i += 8)
        NarrowGroup(layout, argb + i, raw + 2 * i);
    if (i < count) {
        uint32_t from[8] = {};
        uint8_t to[16];
        std::memcpy(from, argb + i, size_t(count - i) * 4);
        NarrowGroup(layout, from, to);
        std::memcpy(raw + 2 * i, to, size_t(count - i) * 2);
    }
}
#endif

} // namespace

void DevicePixels::WidenRow(const uint8_t* raw, int32_t count, uint32_t* argb, uint32_t alpha) const
{
#if defined(__SSE2__)
    if (Is565(*this))
        Widen16(k565, raw, count, argb, alpha);
    else
        Widen16(ChannelsOf(*this), raw, count, argb, alpha);
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
    if (Is565(*this))
        Narrow16(k565, argb, count, raw);
    else
        Narrow16(ChannelsOf(*this), argb, count, raw);
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
