#pragma once

#include <cstdint>

// The rules a level gives the cell grid for colouring new blocks and for
// choosing the shift direction.
struct CGridParameters {
    int32_t mBlockTypes = 0;
    int32_t mMaxGroups = 0;
    int32_t mMinGroups = 0;
    int32_t mGenerationsPerTurn = 0;
    int32_t mSwitchSide = 0;
    int32_t mPreventAutoCombo = 0;
    int32_t mAntiCombo = 0;
    int32_t mMaxGroupSize = 0;
    int32_t mGenerationMode = 0;
    int32_t mMajorColourPercent = 0;
};
