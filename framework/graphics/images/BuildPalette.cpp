#include "framework/graphics/images/BuildPalette.h"

#include <algorithm>
#include <cstddef>

namespace Lumo {

namespace {

struct KnownColor {
    uint32_t mValue;
    uint8_t mIndex;
};

} // namespace

bool BuildPalette(const uint32_t* pixels, uint8_t* indices, int32_t width, int32_t height, uint32_t* palette)
{
    if (width <= 0 || height <= 0)
        return true;
    const size_t count = size_t(width) * size_t(height);

    // Sorted by value so that each pixel is found by bisection.
    KnownColor known[256];
    size_t knownCount = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t value = pixels[i];
        KnownColor* end = known + knownCount;
        KnownColor* place =
            std::lower_bound(known, end, value, [](const KnownColor& k, uint32_t v) { return k.mValue < v; });
        if (place != end && place->mValue == value) {
            indices[i] = place->mIndex;
            continue;
        }
        if (knownCount == 256)
            return false;
        std::copy_backward(place, end, end + 1);
        place->mValue = value;
        place->mIndex = uint8_t(knownCount);
        palette[knownCount] = value;
        indices[i] = uint8_t(knownCount);
        ++knownCount;
    }
    return true;
}

} // namespace Lumo
