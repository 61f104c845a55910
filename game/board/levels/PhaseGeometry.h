#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The orders in which the intro, outro and game-over sequences take the
// field's cells, as cell indices (row * width + column).

// Anti-diagonals from the bottom-right cell: width + height - 1 of them.
int32_t DiagonalCount(int32_t width, int32_t height);
// The cells of diagonal d, from its lower-left end up and to the right.
std::vector<int32_t> DiagonalCells(int32_t d, int32_t width, int32_t height);
// Every cell once, in an inward spiral from the bottom-left cell: right along
// the bottom row, up, left, down, each turn closing in on the field's bounds.
std::vector<int32_t> ExplosionSpiral(int32_t width, int32_t height);
