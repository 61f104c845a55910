#pragma once

#include <cstdint>

struct CFieldBlock;

// What the field draws for one cell: the block standing in it, a block moving
// out of it and a block arriving in it, each with its screen position.
struct CellRecord {
    CFieldBlock* mLeaving = nullptr;
    int32_t mLeavingX = 0;
    int32_t mLeavingY = 0;
    CFieldBlock* mBlock = nullptr;
    // Where the block sprite of this cell is drawn.
    int32_t mScreenX = 0;
    int32_t mScreenY = 0;
    CFieldBlock* mArriving = nullptr;
    int32_t mArrivingX = 0;
    int32_t mArrivingY = 0;
    // Set: the arriving block is cut by the entry stencil.
    uint8_t mArrival = 0;
};
