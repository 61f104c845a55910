#include "framework/graphics/images/BlitGeometry.h"

#include <algorithm>
#include <cmath>

namespace Lumo {

namespace {

bool StretchRects(const Rect& destRect, const Rect& srcRect, const Rect& clip, Rect& clippedDest, FRect& srcArea,
                  bool mirrored)
{
    if (destRect.mWidth <= 0 || destRect.mHeight <= 0)
        return false;
    const Rect clipped = destRect.Intersect(clip);
    const double sx = double(srcRect.mWidth) / destRect.mWidth;
    const double sy = double(srcRect.mHeight) / destRect.mHeight;
    const double leftCut = mirrored ? double(destRect.mX) + destRect.mWidth - clipped.mX - clipped.mWidth
                                    : double(clipped.mX) - destRect.mX;
    const FRect area{leftCut * sx + srcRect.mX, (double(clipped.mY) - destRect.mY) * sy + srcRect.mY,
                     srcRect.mWidth + sx * (double(clipped.mWidth) - destRect.mWidth),
                     srcRect.mHeight + sy * (double(clipped.mHeight) - destRect.mHeight)};
    clippedDest = clipped;
    srcArea = area;
    return area.mWidth > 0 && area.mHeight > 0;
}

} // namespace

bool GetStretchBlitRects(const Rect& destRect, const Rect& srcRect, const Rect& clip, Rect& clippedDest,
                         FRect& srcArea)
{
    return StretchRects(destRect, srcRect, clip, clippedDest, srcArea, false);
}

bool GetStretchBlitRectsMirrored(const Rect& destRect, const Rect& srcRect, const Rect& clip, Rect& clippedDest,
                                 FRect& srcArea)
{
    return StretchRects(destRect, srcRect, clip, clippedDest, srcArea, true);
}

bool GetRotatedBlitBounds(float x, float y, const Rect& srcRect, const FRect& clip, FRect& bounds, double angle,
                          float centerX, float centerY)
{
    const float c = float(std::cos(angle));
    const float s = float(std::sin(angle));
    float minX = 10000000.0f;
    float minY = 10000000.0f;
    float maxX = -10000000.0f;
    float maxY = -10000000.0f;
    for (int corner = 0; corner < 4; ++corner) {
        const float u = (corner & 1) ? float(srcRect.mWidth) : 0.0f;
        const float v = (corner & 2) ? float(srcRect.mHeight) : 0.0f;
        const float px = x + centerX + (u - centerX) * c + (v - centerY) * s;
        const float py = y + centerY + (v - centerY) * c - (u - centerX) * s;
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py);
    }
    const FRect box = FRect{minX, minY, double(maxX) - minX, double(maxY) - minY}.Intersect(clip);
    if (!(box.mWidth > 0 && box.mHeight > 0))
        return false;
    bounds = box;
    return true;
}

} // namespace Lumo
