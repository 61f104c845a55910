#pragma once

#include <cstdint>

namespace Platform {

// Something that sounds through the mixer. The mixer calls it with its lock held.
class MixerSource {
public:
    virtual ~MixerSource() = default;
    // Adds frames of 44.1 kHz stereo (left, right pairs) to mix, or, when mix
    // is null, moves on by that many frames without output.
    virtual void Render(float* mix, uint32_t frames) = 0;
};

} // namespace Platform
