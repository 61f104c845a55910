#pragma once

#include <cstdint>
#include <vector>

// A run-time pool of equal frames cut from blank page images of the image table.
struct CImageStrip {
    struct Frame {
        int32_t mPageRecord;
        int32_t mFrame;
        int32_t mSlot;
    };

    bool mSetUp = false;
    int32_t mFrameWidth = 0;
    int32_t mFrameHeight = 0;
    int32_t mFramesPerPage = 0;
    std::vector<Frame> mFree;
    // Record indices of the pages built for the strip.
    std::vector<int32_t> mPages;
};
