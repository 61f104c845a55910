#include "platform/windows/CursorRecord.h"

#include <cstddef>

namespace Platform {

CursorPixel CursorRecord::PixelAt(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CursorPixel::Transparent;
    size_t index = size_t(y) * size_t(RowBytes(width)) + size_t(x / 8);
    if (index >= andMask.size() || index >= xorMask.size())
        return CursorPixel::Transparent;
    int bit = 7 - x % 8;
    bool andBit = (andMask[index] >> bit) & 1;
    bool xorBit = (xorMask[index] >> bit) & 1;
    if (andBit)
        return xorBit ? CursorPixel::Inverted : CursorPixel::Transparent;
    return xorBit ? CursorPixel::White : CursorPixel::Black;
}

} // namespace Platform
