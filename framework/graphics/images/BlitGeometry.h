#pragma once

#include "framework/graphics/FRect.h"
#include "framework/graphics/Rect.h"

namespace Lumo {

// Clips a stretch from destRect to clip and finds the matching fractional
// source area. False when nothing of the source remains.
bool GetStretchBlitRects(const Rect& destRect, const Rect& srcRect, const Rect& clip, Rect& clippedDest,
                         FRect& srcArea);
// The same for a left-to-right mirrored stretch: the source's left edge
// belongs to the destination's right edge.
bool GetStretchBlitRectsMirrored(const Rect& destRect, const Rect& srcRect, const Rect& clip, Rect& clippedDest,
                                 FRect& srcArea);
// The clipped bounds of srcRect drawn at (x, y) rotated by angle about
// (centerX, centerY), relative to its top-left corner. False when empty;
// bounds is then left alone.
bool GetRotatedBlitBounds(float x, float y, const Rect& srcRect, const FRect& clip, FRect& bounds, double angle,
                          float centerX, float centerY);

} // namespace Lumo
