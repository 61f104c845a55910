#pragma once

#include <cstdint>

namespace Lumo {

// Turns width x height ARGB pixels into one index byte per pixel and a palette
// of up to 256 entries, numbered in order of first appearance. False once a
// 257th distinct value turns up; indices and palette are then only partly
// filled. Palette entries past the distinct values are left untouched.
bool BuildPalette(const uint32_t* pixels, uint8_t* indices, int32_t width, int32_t height, uint32_t* palette);

} // namespace Lumo
