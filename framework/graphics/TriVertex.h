#pragma once

#include <cstdint>

namespace Lumo {

// A textured vertex: position in destination pixels, texture coordinates in
// 0..1 across the whole source image, and a packed ARGB colour (0: none).
struct TriVertex {
    float mX;
    float mY;
    float mU;
    float mV;
    uint32_t mColor;
};

} // namespace Lumo
