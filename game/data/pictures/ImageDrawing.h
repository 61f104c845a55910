#pragma once

#include <cstdint>

class CImageTable;

namespace Lumo {
class Graphics;
}

// A picture that scrolls through its slot with wrap-around: the slot drawn
// at (mX, mY), cut mFraction of mWidth from its left edge.
struct CScrollImage {
    int32_t mSlot = -2;
    // Set: scrolls to the right; clear: to the left.
    bool mRight = false;
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mWidth = 0;
    float mFraction = 0.0f;
};

// Draws the slot's rectangle of its image at (x, y); nothing for a slot
// without an image.
void DrawImageCel(int32_t slot, const CImageTable& table, Lumo::Graphics& graphics, int32_t x, int32_t y);

void DrawImageScrolled(const CScrollImage& scroll, const CImageTable& table, Lumo::Graphics& graphics);
