#pragma once

#include "platform/sound/PcmData.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Platform {

// Decodes a whole music stream, WAV, Ogg Vorbis or MP3, into 16-bit PCM
// (WAV keeps its own sample width).
class StreamDecoder {
public:
    // Null when the bytes are none of the three or cannot be decoded.
    static std::shared_ptr<PcmData> Decode(const std::vector<uint8_t>& file);

private:
    static std::shared_ptr<PcmData> DecodeOgg(const std::vector<uint8_t>& file);
    static std::shared_ptr<PcmData> DecodeMp3(const std::vector<uint8_t>& file);
};

} // namespace Platform
