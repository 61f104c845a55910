#pragma once

#include <cstdint>
#include <vector>

namespace Platform {

enum class CursorPixel : uint8_t { Transparent, Black, White, Inverted };

// A standard cursor by id, or a monochrome one made from AND and XOR masks.
struct CursorRecord {
    uint32_t systemId = 0; // an IDC_ id; 0 for a cursor made from masks
    int32_t width = 0;
    int32_t height = 0;
    int32_t hotX = 0;
    int32_t hotY = 0;
    // One bit a pixel, most significant first, rows padded to 16 bits.
    std::vector<uint8_t> andMask;
    std::vector<uint8_t> xorMask;

    static int32_t RowBytes(int32_t width) { return (width + 15) / 16 * 2; }
    CursorPixel PixelAt(int32_t x, int32_t y) const;
};

} // namespace Platform
