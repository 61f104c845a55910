#pragma once

#include "platform/process/Clock.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace LumoTest {

// A stand-in window handle: the sound calls only check it is not null.
inline Platform::HWND TestWindow() { return reinterpret_cast<Platform::HWND>(uintptr_t(0x10)); }

// Little-endian bytes of WAV files, chunk by chunk.
class WavBytes {
public:
    WavBytes();
    WavBytes& Chunk(const std::string& id, const std::string& body);
    WavBytes& Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
    const std::string& Bytes() const { return mBytes; }

private:
    std::string mBytes;
};

std::string U16(uint16_t value);
std::string U32(uint32_t value);
// Interleaved 16-bit samples as bytes.
std::string Samples16(const std::vector<int16_t>& samples);

} // namespace LumoTest
