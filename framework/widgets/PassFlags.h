#pragma once

#include <cstdint>

namespace Lumo {

// What a pass hands down the tree. Widgets at or in front of the modal widget
// (all widgets when there is none) get mFrontFlags, those behind it
// mBehindFlags.
struct PassFlags {
    uint32_t mFrontFlags = 0;
    uint32_t mBehindFlags = 0;
    bool mPastModal = true;

    uint32_t Effective() const { return mPastModal ? mFrontFlags : mBehindFlags; }
};

} // namespace Lumo
