#pragma once

#include "game/board/field/MoveRecord.h"

#include <cstdint>
#include <vector>

class CAnimTrack;
struct CFieldBlock;

// The moves of one line placement: the moved runs in order, then the record
// of the blocks entering the line.
struct MoveList {
    std::vector<MoveRecord> mMoves;
    int32_t mPoolIndex = 0;
};

// One line of a field step on its way: the runs that close the line's gaps
// slide one after the other while the new blocks slide in across the edge.
struct LinePlacement {
    // The line's new blocks first, then the blocks of the run now moving.
    std::vector<CFieldBlock*> mBlocks;
    uint32_t mNewBlocks = 0;
    uint32_t mNextMove = 0;
    // Time already spent beyond the end of the last move step.
    float mCarried = 0.0f;
    float mStepSpeed = 0.0f;
    float mStepInterval = 0.0f;
    float mDuration = 0.0f;
    MoveList* mMoves = nullptr;
    // None when the line only takes new blocks.
    CAnimTrack* mMoveTrack = nullptr;
    CAnimTrack* mAppearTrack = nullptr;
    // Index of the field's line entry of the moving blocks.
    int32_t mLineEntry = -1;
    uint8_t mSkipped = 0;
    uint8_t mAppearDone = 0;
    int32_t mPoolIndex = 0;
};
