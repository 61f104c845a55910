#pragma once

#include <cstdint>

// One line move of a field step. A moved run: the cells [mA, mC) x [mB, mD)
// shift by (mE, mF). Blocks entering a line: mA is -1, mB the number of new
// blocks, (mC, mD) the cell just outside the line's start and (mE, mF) the
// step.
struct MoveRecord {
    int32_t mA = 0;
    int32_t mB = 0;
    int32_t mC = 0;
    int32_t mD = 0;
    int32_t mE = 0;
    int32_t mF = 0;

    bool IsEntry() const { return mA == -1; }
    bool operator==(const MoveRecord&) const = default;
};
