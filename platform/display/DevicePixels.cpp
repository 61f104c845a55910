#include "platform/display/DevicePixels.h"

#include "platform/display/Direct3DTypes.h"
#include "platform/display/DirectDrawPalette.h"
#include "platform/display/DirectDrawSurface.h"

#include <bit>

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

void DevicePixels::ReadRow(int32_t x, int32_t y, int32_t count, uint32_t* argb) const
{
    const uint8_t* at = Row(y) + ptrdiff_t(x) * bytes;
    for (int32_t i = 0; i < count; ++i)
        argb[i] = ToArgb(Raw(at + ptrdiff_t(i) * bytes));
}

void DevicePixels::WriteRow(int32_t x, int32_t y, int32_t count, const uint32_t* argb) const
{
    uint8_t* at = Row(y) + ptrdiff_t(x) * bytes;
    for (int32_t i = 0; i < count; ++i)
        Store(at + ptrdiff_t(i) * bytes, FromArgb(argb[i]));
}

} // namespace Platform
