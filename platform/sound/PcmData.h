#pragma once

#include "platform/sound/SoundTypes.h"

#include <cstdint>
#include <vector>

namespace Platform {

// PCM samples (8-bit unsigned or 16-bit signed, mono or stereo, any rate),
// shared by a buffer, its duplicates and their voices. The byte count never
// changes after creation, so a locked pointer stays valid.
struct PcmData {
    WAVEFORMATEX format;
    std::vector<uint8_t> bytes;

    uint32_t FrameCount() const { return format.nBlockAlign ? uint32_t(bytes.size() / format.nBlockAlign) : 0; }
};

} // namespace Platform
