#pragma once

#include <cstdint>

namespace Platform {

// A channel of a 16-bit pixel as FrameConverter widens it: moved from its
// offset to its lift, kept by its maximum there, and multiplied (high half):
// ((value << lift) * multiplier) >> 16 == value * 255 / maximum for every
// value. The multiplier is 0 where no lift gives that exactly.
struct ChannelLift {
    uint32_t offset = 0;
    uint32_t lift = 0;
    uint32_t maximum = 0;
    uint32_t multiplier = 0;

    bool operator==(const ChannelLift&) const = default;
};

// The lift of the channel under the mask: its own offset where that is exact,
// so the pixel need not be shifted, else the smallest exact one.
constexpr ChannelLift LiftOf(uint32_t mask)
{
    ChannelLift channel;
    if (mask == 0)
        return channel;
    while (!((mask >> channel.offset) & 1))
        ++channel.offset;
    channel.maximum = mask >> channel.offset;
    if (channel.maximum > 255)
        return channel;
    auto multiplierAt = [&](uint32_t lift) -> uint32_t {
        if ((channel.maximum << lift) > 0xFFFF)
            return 0;
        const uint32_t m = ((255u << (16 - lift)) + channel.maximum - 1) / channel.maximum;
        if (m > 0xFFFF)
            return 0;
        for (uint32_t v = 0; v <= channel.maximum; ++v)
            if (((v << lift) * m) >> 16 != v * 255 / channel.maximum)
                return 0;
        return m;
    };
    if (const uint32_t m = multiplierAt(channel.offset)) {
        channel.lift = channel.offset;
        channel.multiplier = m;
        return channel;
    }
    for (uint32_t lift = 0; lift < 16 && (channel.maximum << lift) <= 0xFFFF; ++lift) {
        if (const uint32_t m = multiplierAt(lift)) {
            channel.lift = lift;
            channel.multiplier = m;
            return channel;
        }
    }
    return channel;
}

// The 16-bit widening sixteen pixels at a time, for processors with AVX2;
// channels are red, green and blue. Returns how many pixels it converted.
int32_t WidenRowAvx2(const uint16_t* source, uint32_t* dest, int32_t width, const ChannelLift (&channels)[3]);

// 32-bit pixels made opaque sixteen at a time, for processors with AVX2:
// wider stores keep up with a copy where the destination is not in the cache.
// Returns how many pixels it converted.
int32_t OpaqueRowAvx2(const uint32_t* source, uint32_t* dest, int32_t width);

} // namespace Platform
