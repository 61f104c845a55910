#include "framework/graphics/Rect.h"

#include <algorithm>

namespace Lumo {

Rect Rect::Intersect(const Rect& other) const
{
    // 64-bit edges: x + width must not overflow for rectangles near the limits.
    const int64_t x = std::max(mX, other.mX);
    const int64_t right = std::min(int64_t(mX) + mWidth, int64_t(other.mX) + other.mWidth);
    const int64_t y = std::max(mY, other.mY);
    const int64_t bottom = std::min(int64_t(mY) + mHeight, int64_t(other.mY) + other.mHeight);
    if (right - x < 0 || bottom - y < 0)
        return Rect{0, 0, 0, 0};
    return Rect{int32_t(x), int32_t(y), int32_t(right - x), int32_t(bottom - y)};
}

} // namespace Lumo
