#pragma once

#include <cstdint>

namespace Lumo {

// The display's pixel format as images see it: enough to convert pixels
// without knowing the display device. The display derives from it.
class NativeDisplay {
public:
    uint32_t mBitsPerPixel = 0;
    uint32_t mRedMask = 0;
    uint32_t mGreenMask = 0;
    uint32_t mBlueMask = 0;
    uint32_t mRedBits = 0;
    uint32_t mGreenBits = 0;
    uint32_t mBlueBits = 0;
    uint32_t mRedShift = 0;
    uint32_t mGreenShift = 0;
    uint32_t mBlueShift = 0;

    virtual ~NativeDisplay() = default;
};

} // namespace Lumo
