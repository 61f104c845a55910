#pragma once

#include "framework/graphics/Rect.h"

#include <cstdint>

namespace Lumo {

class MemoryImage;

// Moves the pixels of source so that its top-left corner lands on (newX, newY)
// in the same image; overlapping moves keep the old source pixels intact in
// the new place. Pixels of the old area outside the new one keep their values.
// A move with either rectangle not wholly inside the image does nothing.
void MoveImageBlock(MemoryImage* image, int32_t newX, int32_t newY, const Rect& source);

} // namespace Lumo
