#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace Platform {

class DirectDrawSurface;

// A surface as the 3D device reads and writes it: its rows, and how a raw
// pixel maps to 8-bit ARGB and back. Channels of at most 8 bits widen to
// v * 255 / maximum (rounded down) and narrow to their top bits, so a value
// read and written back is unchanged; wider channels scale both ways.
struct DevicePixels {
    enum class Kind {
        Argb32,   // 32-bit with the channels at their byte places
        Xrgb32,   // the same without alpha: read opaque, written with 0
        Packed16, // 16-bit with channels of at most 8 bits
        Packed,   // any other masks, 1 to 4 bytes
        Palette8, // 8-bit indices into the palette (read only; written as 0)
    };

    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytes = 0;
    Kind kind = Kind::Packed;
    // Alpha, red, green, blue; a channel without a mask reads as 255.
    uint32_t masks[4] = {};
    uint32_t shifts[4] = {};
    uint32_t maxima[4] = {};
    // Per channel of at most 8 bits: v * widen >> 16 is v * 255 / maximum.
    uint32_t widen[4] = {};
    const uint32_t* palette = nullptr;

    // paletteStore receives the 256 ARGB entries of a palettized surface.
    static DevicePixels Of(DirectDrawSurface* surface, std::array<uint32_t, 256>& paletteStore);

    uint8_t* Row(int32_t y) const { return pixels + ptrdiff_t(y) * pitch; }
    uint32_t Raw(const uint8_t* at) const
    {
        uint32_t raw = 0;
        std::memcpy(&raw, at, size_t(bytes));
        return raw;
    }
    void Store(uint8_t* at, uint32_t raw) const { std::memcpy(at, &raw, size_t(bytes)); }
    uint32_t ToArgb(uint32_t raw) const;
    // The channels of a packed raw value as ARGB.
    uint32_t Widen(uint32_t raw) const
    {
        uint32_t argb = 0;
        for (int i = 0; i < 4; ++i) {
            const uint32_t value = (raw & masks[i]) >> shifts[i];
            const uint32_t wide = !maxima[i] ? 255
                                  : widen[i] ? value * widen[i] >> 16
                                             : uint32_t(uint64_t(value) * 255 / maxima[i]);
            argb |= wide << (24 - 8 * i);
        }
        return argb;
    }
    uint32_t FromArgb(uint32_t argb) const;
    // Packed16 rows: count raw pixels to ARGB and back; without an alpha
    // channel, the alpha given.
    void WidenRow(const uint8_t* raw, int32_t count, uint32_t* argb, uint32_t alpha = 255) const;
    void NarrowRow(const uint32_t* argb, int32_t count, uint8_t* raw) const;
    // Raw pixels to ARGB and back, count of them from x on row y.
    void ReadRow(int32_t x, int32_t y, int32_t count, uint32_t* argb) const;
    void WriteRow(int32_t x, int32_t y, int32_t count, const uint32_t* argb) const;
};

} // namespace Platform
