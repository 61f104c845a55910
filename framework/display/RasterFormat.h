#pragma once

#include "framework/graphics/Color.h"
#include "platform/display/DirectDrawTypes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace Lumo {

// Destination pixel classes of the software raster routines. Format565 and
// Format555 carry the spread form, in which one multiplication scales all
// three channels; Generic16 and Format32 work through the surface's masks.
struct Format565 {
    using Pixel = uint16_t;
    static constexpr bool kSpread = true;
    static constexpr uint32_t kSpreadMask = 0x07E0F81F;
};

struct Format555 {
    using Pixel = uint16_t;
    static constexpr bool kSpread = true;
    static constexpr uint32_t kSpreadMask = 0x03E07C1F;
};

struct Generic16 {
    using Pixel = uint16_t;
    static constexpr bool kSpread = false;
    static constexpr uint32_t kSpreadMask = 0;
};

struct Format32 {
    using Pixel = uint32_t;
    static constexpr bool kSpread = false;
    static constexpr uint32_t kSpreadMask = 0;
};

// The locked surface as one format sees it: rows at the signed pitch,
// counted in whole pixels.
template <typename Format>
class RasterFormat {
public:
    using Pixel = typename Format::Pixel;
    using Tag = Format;

    explicit RasterFormat(const Platform::DDSURFACEDESC& desc)
        : mPixels(static_cast<Pixel*>(desc.lpSurface)), mPitch(desc.lPitch / int32_t(sizeof(Pixel))),
          mRed(desc.ddpfPixelFormat.dwRBitMask), mGreen(desc.ddpfPixelFormat.dwGBitMask),
          mBlue(desc.ddpfPixelFormat.dwBBitMask), mWidth(int32_t(desc.dwWidth)), mHeight(int32_t(desc.dwHeight))
    {
    }

    static uint32_t Spread(uint32_t pixel) { return (pixel | pixel << 16) & Format::kSpreadMask; }
    static Pixel Fold(uint32_t spread) { return Pixel(spread | spread >> 16); }

    Pixel* Row(int32_t y) const { return mPixels + ptrdiff_t(y) * mPitch; }
    bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < mWidth && y < mHeight; }
    int32_t PitchPixels() const { return mPitch; }
    int32_t Height() const { return mHeight; }

    Pixel* mPixels;
    int32_t mPitch;
    uint32_t mRed;
    uint32_t mGreen;
    uint32_t mBlue;
    int32_t mWidth;
    int32_t mHeight;
};

// One channel of an additive draw: the display's saturation table clamps
// the sum of two channel values of at most the channel's maximum each.
struct SaturationChannel {
    uint32_t mask;
    uint32_t shift;
    // 1 to 8.
    uint32_t bits;
    const uint32_t* table;

    uint32_t Value(uint32_t pixel) const { return (pixel & mask) >> shift; }
    // Both values at most the channel's maximum; a destination channel wider
    // than the display's is cut to it, so the table is never overrun.
    uint32_t Add(uint32_t pixel, uint32_t value) const
    {
        const uint32_t maximum = (1u << bits) - 1;
        return table[std::min(Value(pixel), maximum) + value] << shift;
    }
};

// A source's words in its two storage forms: one word per pixel, or an
// index byte per pixel into 256 words. Loops are compiled once per form so
// that no read chooses between them.
struct DirectTexels {
    const uint32_t* words;

    uint32_t operator[](size_t index) const { return words[index]; }
};

struct IndexedTexels {
    const uint32_t* palette;
    const uint8_t* indices;

    uint32_t operator[](size_t index) const { return palette[indices[index]]; }
};

// Runs the body with the form of words: indexed when indices is set.
template <typename Body>
void WithTexels(const uint32_t* words, const uint8_t* indices, Body&& body)
{
    if (indices)
        body(IndexedTexels{words, indices});
    else
        body(DirectTexels{words});
}

// The tint, premultiplied by its alpha.
struct Tint {
    uint32_t alpha;
    uint32_t red;
    uint32_t green;
    uint32_t blue;

    static uint32_t Channel(int32_t value) { return uint32_t(std::clamp(value, 0, 255)); }

    explicit Tint(const Color& color)
        : alpha(Channel(color.mAlpha)), red(Channel(color.mRed) * alpha / 255),
          green(Channel(color.mGreen) * alpha / 255), blue(Channel(color.mBlue) * alpha / 255)
    {
    }
    bool Grey() const { return red == green && green == blue; }
};

// The blit shortcut's blend of a 32-bit ARGB word s over d with weight a,
// straight from the source bits.
template <typename Raster>
uint32_t ShortcutBlend(const Raster& raster, uint32_t s, uint32_t d, uint32_t a, bool ordered)
{
    using Format = typename Raster::Tag;
    if constexpr (Format::kSpread) {
        if (ordered) {
            const uint32_t spread = std::is_same_v<Format, Format565>
                                        ? ((s & 0xFC00) << 11) + ((s >> 8) & 0xF800) + ((s >> 3) & 0x1F)
                                        : ((s & 0xF800) << 10) + ((s >> 9) & 0x7C00) + ((s >> 3) & 0x1F);
            const uint32_t dest = Raster::Spread(d);
            return Raster::Fold(((((spread - dest) * (a >> 3)) >> 5) + dest) & Format::kSpreadMask);
        }
    }
    const bool wide = sizeof(typename Raster::Pixel) == 4;
    if (wide && ordered) {
        const uint32_t low = ((((s & 0x00FF00FF) - (d & 0x00FF00FF)) * a) >> 8) + (d & 0x00FF00FF);
        const uint32_t middle = ((((s & 0x0000FF00) - (d & 0x0000FF00)) * a) >> 8) + (d & 0x0000FF00);
        return (low & 0x00FF00FF) | (middle & 0x0000FF00);
    }
    auto one = [&](uint32_t c, uint32_t mask) {
        const uint64_t m = mask;
        const uint64_t colour = wide ? ((uint64_t(c) * a) >> 8) * m : (uint64_t(c) * a * m) >> 8;
        return uint32_t(((uint64_t(d & mask) * (256 - a) + colour + (m >> 1)) >> 8) & mask);
    };
    return one((s >> 16) & 0xFF, raster.mRed) | one((s >> 8) & 0xFF, raster.mGreen) | one(s & 0xFF, raster.mBlue);
}

// Runs the body with the format class of the locked surface; false for a
// depth the routines do not draw. SplitSixteen picks the 565 and 555 loops;
// without it every 16-bit surface takes the generic loop.
template <bool SplitSixteen, typename Body>
bool WithRasterFormat(const Platform::DDSURFACEDESC& desc, Body&& body)
{
    const Platform::DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    if (format.dwRGBBitCount == 32) {
        body(RasterFormat<Format32>(desc));
        return true;
    }
    if (format.dwRGBBitCount != 16)
        return false;
    if (SplitSixteen && format.dwGBitMask == 0x7E0)
        body(RasterFormat<Format565>(desc));
    else if (SplitSixteen && format.dwGBitMask == 0x3E0)
        body(RasterFormat<Format555>(desc));
    else
        body(RasterFormat<Generic16>(desc));
    return true;
}

} // namespace Lumo
