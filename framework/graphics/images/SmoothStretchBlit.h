#pragma once

#include "framework/graphics/FRect.h"
#include "framework/graphics/Rect.h"

namespace Lumo {

class Image;
class MemoryImage;

// Area-weighted stretch of the fractional source area into destRect of the
// destination's 32-bit pixels, composited over them; filtered by a separable
// pass across and then down. Draws nothing unless destRect lies inside the
// destination and the source is a memory image.
void SmoothStretchBlit(MemoryImage* dest, Image* source, const Rect& destRect, const FRect& srcArea);

} // namespace Lumo
