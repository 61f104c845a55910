#pragma once

#include <cstdint>

class CImageTable;
class CObjBase;

namespace Lumo {
class Graphics;
}

// Every sprite of the object in order, each at its offset from (x, y).
void DrawObject(const CObjBase& objects, const CImageTable& images, int32_t object, Lumo::Graphics& graphics,
                int32_t x, int32_t y);

// The slot at (x, y) through the mask slot's picture, whose rectangle's
// top-left corner lies at (maskX, maskY).
void DrawSlotMasked(const CImageTable& images, Lumo::Graphics& graphics, int32_t slot, int32_t x, int32_t y,
                    int32_t maskSlot, int32_t maskX, int32_t maskY);
