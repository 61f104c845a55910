#pragma once

#include <cstdint>

namespace Platform {

// A channel of a 16-bit pixel as FrameConverter widens it: moved from its
// offset to its lift, kept by its maximum there, and multiplied (high half).
struct ChannelLift {
    uint32_t offset;
    uint32_t lift;
    uint32_t maximum;
    uint32_t multiplier;
};

// The 16-bit widening sixteen pixels at a time, for processors with AVX2;
// channels are red, green and blue. Returns how many pixels it converted.
int32_t WidenRowAvx2(const uint16_t* source, uint32_t* dest, int32_t width, const ChannelLift (&channels)[3]);

// 32-bit pixels made opaque sixteen at a time, for processors with AVX2:
// wider stores keep up with a copy where the destination is not in the cache.
// Returns how many pixels it converted.
int32_t OpaqueRowAvx2(const uint32_t* source, uint32_t* dest, int32_t width);

} // namespace Platform
