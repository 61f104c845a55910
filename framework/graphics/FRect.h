#pragma once

namespace Lumo {

// Rect in doubles: fractional source areas of the stretched and rotated blits.
struct FRect {
    double mX;
    double mY;
    double mWidth;
    double mHeight;

    // As Rect::Intersect: all zero only for a negative width or height.
    FRect Intersect(const FRect& other) const;

    bool operator==(const FRect& other) const = default;
};

} // namespace Lumo
