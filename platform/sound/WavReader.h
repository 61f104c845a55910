#pragma once

#include "platform/sound/PcmData.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Platform {

// Reads a RIFF WAVE file of PCM samples (8 or 16 bits, mono or stereo).
class WavReader {
public:
    // Null when the bytes are no such file.
    static std::shared_ptr<PcmData> Read(const std::vector<uint8_t>& file);
};

} // namespace Platform
