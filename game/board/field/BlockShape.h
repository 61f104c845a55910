#pragma once

#include <cstdint>

// The block sprite's shape: its size, the height of its sides below the top
// face, the top face's corner indents and the spacing between cells.
struct BlockShape {
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mSideHeight = 0;
    int32_t mHIndent = 0;
    int32_t mVIndent = 0;
    float mHSpacing = 0.0f;
    float mVSpacing = 0.0f;
};
