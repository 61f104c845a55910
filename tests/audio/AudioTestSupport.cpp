#include "tests/audio/AudioTestSupport.h"

namespace LumoTest {

std::string U16(uint16_t value) { return std::string{char(value & 0xFF), char(value >> 8)}; }

std::string U32(uint32_t value) { return U16(uint16_t(value)) + U16(uint16_t(value >> 16)); }

std::string Samples16(const std::vector<int16_t>& samples)
{
    std::string bytes;
    for (int16_t sample : samples)
        bytes += U16(uint16_t(sample));
    return bytes;
}

WavBytes::WavBytes() : mBytes("RIFF" + U32(0) + "WAVE") {}

WavBytes& WavBytes::Chunk(const std::string& id, const std::string& body)
{
    mBytes += id + U32(uint32_t(body.size())) + body;
    return *this;
}

WavBytes& WavBytes::Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    uint16_t align = uint16_t(channels * bits / 8);
    return Chunk("fmt ", U16(tag) + U16(channels) + U32(rate) + U32(rate * align) + U16(align) + U16(bits));
}

} // namespace LumoTest
