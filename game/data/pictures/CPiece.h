#pragma once

#include <cstdint>

// A shape within 4 x 4 cells: bit (row * 4 + column) of the mask is a cell.
struct CPiece {
    int32_t mCellCount = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mCenterX = 0;
    int32_t mCenterY = 0;
    uint16_t mMask = 0;
    uint16_t mRotations[3] = {};
};
