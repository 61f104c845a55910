#pragma once

#include <cstdint>

class CGUIHost;

namespace Lumo {
class Graphics;
}

// Draws the slot's source rectangle of its image at (x, y); nothing for a
// slot without an image.
void GUIDrawSlot(CGUIHost& host, Lumo::Graphics& graphics, int32_t slot, int32_t x, int32_t y);
// The height of the slot's source rectangle; 0 without an image.
int32_t GUISlotHeight(CGUIHost& host, int32_t slot);
