#pragma once

#include <cstdint>

namespace Platform {

// Narrows rows of 32-bit ARGB words to 565 pixels under an ordered dither of
// each pixel's place, so that a colour a scaling blended between two 565
// steps keeps its mean on the screen instead of falling to the lower step
// (truncation darkens, and turns a dithered shading into a seam where it
// crosses a step). A colour widened from 565 comes back as it was.
class FrameNarrower {
public:
    // width words of source to dest, as row y of the picture.
    static void NarrowRow(const uint32_t* source, uint16_t* dest, int32_t width, int32_t y);
};

} // namespace Platform
