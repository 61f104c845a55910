#pragma once

#include "framework/graphics/Color.h"

#include <algorithm>
#include <cstdint>

namespace Lumo {

// The software blending rules shared by every memory-image routine, on
// packed 0xAARRGGBB words. Divisions truncate. The two colour forms differ by
// at most one step in a channel; each routine uses the form it is defined
// with, so results stay identical to the rules.
class PixelBlend {
public:
    // Alpha of a source of alpha sa composited over alpha da.
    static uint32_t OverAlpha(uint32_t da, uint32_t sa) { return da + (255 - da) * sa / 255; }

    // The source's weight out of 256 for that result; oa > 0.
    static uint32_t OverWeight(uint32_t sa, uint32_t oa) { return oa == 255 ? sa : sa * 255 / oa; }

    // Red, green and blue as (d (256 - w) + s w) >> 8; alpha bits zero.
    static uint32_t MixSingleShift(uint32_t d, uint32_t s, uint32_t w)
    {
        const uint32_t g = ((d & 0xFF00) * (256 - w) + (s & 0xFF00) * w) & 0xFF0000;
        const uint32_t rb = ((d & 0xFF00FF) * (256 - w) + (s & 0xFF00FF) * w) & 0xFF00FF00;
        return (g | rb) >> 8;
    }

    // As MixSingleShift for red and green, but blue is
    // (d (256 - w) >> 8) + (s w >> 8); alpha bits zero.
    static uint32_t MixLaneShifted(uint32_t d, uint32_t s, uint32_t w)
    {
        const uint32_t rb = ((((d & 0x00FF00FF) * (256 - w)) >> 8) + (((s & 0x00FF00FF) * w) >> 8)) & 0x00FF00FF;
        const uint32_t g = ((((d & 0x0000FF00) * (256 - w)) >> 8) + (((s & 0x0000FF00) * w) >> 8)) & 0x0000FF00;
        return rb | g;
    }

    // Source colour s with alpha sa (> 0) over d.
    static uint32_t OverSingleShift(uint32_t d, uint32_t s, uint32_t sa)
    {
        const uint32_t oa = OverAlpha(d >> 24, sa);
        return MixSingleShift(d, s, OverWeight(sa, oa)) | oa << 24;
    }

    static uint32_t OverLaneShifted(uint32_t d, uint32_t s, uint32_t sa)
    {
        const uint32_t oa = OverAlpha(d >> 24, sa);
        return MixLaneShifted(d, s, OverWeight(sa, oa)) | oa << 24;
    }

    // A colour that multiplies source pixels, its components cut to 0..255.
    struct Tint {
        uint32_t red;
        uint32_t green;
        uint32_t blue;
        uint32_t alpha;
        bool grey;

        explicit Tint(const Color& color)
            : red(Component(color.mRed)), green(Component(color.mGreen)), blue(Component(color.mBlue)),
              alpha(Component(color.mAlpha)), grey(red == green && green == blue)
        {
        }

        static uint32_t Component(int value) { return uint32_t(std::clamp(value, 0, 255)); }
    };

    // The source multiplied by the tint, then weighted by w over d; alpha
    // bits zero. A grey tint takes a shorter form that rounds differently.
    static uint32_t TintMix(uint32_t d, uint32_t s, uint32_t w, const Tint& t)
    {
        const uint32_t keep = 256 - w;
        if (t.grey) {
            const uint32_t rb = (((((s & 0x00FF00FF) * t.red >> 8) & 0x00FF00FF) * w >> 8) +
                                 ((d & 0x00FF00FF) * keep >> 8)) &
                                0x00FF00FF;
            const uint32_t g = (((s & 0x0000FF00) * w * t.red >> 16) + ((d & 0x0000FF00) * keep >> 8)) & 0x0000FF00;
            return rb | g;
        }
        const uint32_t r =
            ((((s & 0x00FF0000) * w >> 8) * t.red >> 8) + ((d & 0x00FF0000) * keep >> 8)) & 0x00FF0000;
        const uint32_t g = (((s & 0x0000FF00) * w * t.green >> 16) + ((d & 0x0000FF00) * keep >> 8)) & 0x0000FF00;
        const uint32_t b = (((s & 0x000000FF) * w * t.blue >> 16) + ((d & 0x000000FF) * keep >> 8)) & 0x000000FF;
        return r | g | b;
    }

    // Additive drawing adds a contribution of 0..255 to a channel and clamps.
    static uint32_t AddClamped(uint32_t channel, uint32_t add) { return std::min(channel + add, 255u); }
};

} // namespace Lumo
