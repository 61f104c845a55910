#include "framework/graphics/FRect.h"

#include <algorithm>

namespace Lumo {

FRect FRect::Intersect(const FRect& other) const
{
    const double x = std::max(mX, other.mX);
    const double right = std::min(mX + mWidth, other.mX + other.mWidth);
    const double y = std::max(mY, other.mY);
    const double bottom = std::min(mY + mHeight, other.mY + other.mHeight);
    if (right - x < 0 || bottom - y < 0)
        return FRect{0, 0, 0, 0};
    return FRect{x, y, right - x, bottom - y};
}

} // namespace Lumo
