#pragma once

#include <cstdint>

// A window's width and the ranges of its controls in the controller's arrays
// (end exclusive); all zero for a window the file lacks.
struct GUIWindow {
    int32_t mWidth = 0;
    int32_t mFirstButton = 0;
    int32_t mEndButton = 0;
    int32_t mFirstSlider = 0;
    int32_t mEndSlider = 0;
    int32_t mFirstInfoLabel = 0;
    int32_t mFirstLabel = 0;
    int32_t mEndLabel = 0;
    int32_t mFirstCheckbox = 0;
    int32_t mEndCheckbox = 0;
    int32_t mFirstEditBox = 0;
    int32_t mEndEditBox = 0;
    int32_t mFirstListBox = 0;
    int32_t mEndListBox = 0;
};
