#pragma once

#include <cstdint>

namespace Lumo {

// Columns mX .. mX + mWidth - 1 and rows mY .. mY + mHeight - 1. An aggregate:
// code fills the four fields directly.
struct Rect {
    int32_t mX;
    int32_t mY;
    int32_t mWidth;
    int32_t mHeight;

    // The overlap; all zero when it would have a negative size. Rectangles
    // that only touch give an empty rectangle on the shared edge.
    Rect Intersect(const Rect& other) const;

    bool operator==(const Rect& other) const = default;
};

} // namespace Lumo
