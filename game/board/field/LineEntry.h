#pragma once

#include "game/data/animation/CLineStepper.h"

#include <cstdint>

class CAnimTrack;

// The blocks of one line on their way during a field step. A sliding entry
// brings new blocks in across the field's edge; a moving entry carries the
// runs that close the line's gaps.
struct LineEntry {
    // Sliding: the cell just outside the field before the line's start.
    // Moving: the hand-over budget and the hand-overs used.
    int32_t mStartColumn = 0;
    int32_t mStartRow = 0;
    int32_t mCount = 0;
    // Index of the entry's first record in the field's moving-block list.
    int32_t mFirstMoving = 0;
    // Sliding: blocks past the line's first cell. Moving: blocks of the run now moving.
    int32_t mEntered = 0;
    CLineStepper mStepper;
    CAnimTrack* mTrack = nullptr;
    // Sliding: the line's first cell inside the field.
    int32_t mTargetCell = -1;
    int32_t mStepX = 0;
    int32_t mStepY = 0;
    int32_t mTargetX = 0;
    // Sliding: 0 before the edge, 1 past it, 2 past the target, 3 done.
    int32_t mState = 0;
    int32_t mEdgeX = 0;
    // Moving: the cell index step from one cell of the line to the next.
    int32_t mIndexStep = 0;
    // Set when the line's motion goes right on the screen.
    uint8_t mRightward = 0;
    uint8_t mSliding = 0;
};

// One block carried by a line entry: the cell record drawing it now and
// where it started on the screen.
struct MovingBlock {
    int32_t mCell = -1;
    struct CFieldBlock* mBlock = nullptr;
    int32_t mStartX = 0;
    int32_t mStartY = 0;
};
