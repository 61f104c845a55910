#pragma once

#include "tools/pictures/Canvas.h"

// Paints the isometric block of the shared geometry, at any scale: the field's
// sprites and the block patterns of the title and menu pictures.
namespace BlockPainter {

// The sprite's top-left at (x, y); stone adds speckles.
void Block(Canvas& canvas, float x, float y, const Rgba& colour, bool stone, float scale = 1.0f);
// The top face's outline, for the hover glow.
void TopOutline(Canvas& canvas, float x, float y, const Rgba& colour, float width);

} // namespace BlockPainter
