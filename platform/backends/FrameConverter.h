#pragma once

#include "platform/backends/FrameConverterAvx2.h"
#include "platform/backends/ShownFrame.h"

#include <cstdint>

namespace Platform {

// Turns rows of a frame into the 32-bit ARGB words a window shows, each
// channel widened to 8 bits as (value * 255 / its mask's maximum), alpha 255
// where the format has none. Rows already in that layout are copied (and made
// opaque); 16-bit rows are widened eight pixels at a time.
class FrameConverter {
public:
    explicit FrameConverter(const FrameFormat& format);
    // The converter of the format, kept from one frame to the next.
    static const FrameConverter& For(const FrameFormat& format);

    void ConvertRow(const uint8_t* source, uint32_t* dest, int32_t width) const;
    // The frame's changed rows, or every row when all is set, into dest,
    // which holds the frame's rows from destTop down at destPitch bytes a row;
    // returns how many rows it converted.
    int32_t ConvertChanged(const ShownFrame& frame, uint8_t* dest, int32_t destPitch, int32_t destTop, bool all) const;

private:
    // A channel's place in the source and, where it fits 8 bits, the exact
    // multiplier that widens it in 16 bits.
    struct Channel {
        uint32_t mask = 0;
        ChannelLift lift;

        explicit Channel(uint32_t channelMask) : mask(channelMask), lift(LiftOf(channelMask)) {}
        uint32_t Read(uint32_t pixel) const
        {
            return lift.maximum ? ((pixel & mask) >> lift.offset) * 255 / lift.maximum : 0;
        }
    };
    enum class Kind { Copy, Opaque, Wide16, Any };

    static void ConvertOpaque(const uint32_t* source, uint32_t* dest, int32_t width);
    void ConvertWide16(const uint16_t* source, uint32_t* dest, int32_t width) const;
    void ConvertAny(const uint8_t* source, uint32_t* dest, int32_t width) const;

    FrameFormat mFormat;
    Channel mRed, mGreen, mBlue, mAlpha;
    ChannelLift mLifts[3];
    Kind mKind = Kind::Any;
};

} // namespace Platform
