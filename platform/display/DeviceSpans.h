#pragma once

#include "platform/display/DevicePixels.h"

#include <cstdint>

namespace Platform {

// What the 3D device does with one pixel of a span: the source colour is the
// texel with the channels of modulateMask multiplied by the diffuse colour
// (or the diffuse colour alone without a texture), and it is blended over
// the pixel as (source * source factor + pixel * pixel factor + 127) / 255,
// at most 255, or written as it is.
struct DeviceShading {
    enum class Blend {
        Replace,
        Over,  // source alpha, inverse source alpha
        Add,   // source alpha, one
        Other, // any other pair of factors
    };

    Blend blend = Blend::Replace;
    uint32_t sourceFactor = 0;
    uint32_t destFactor = 0;
    bool textured = false;
    // 0xFF in the bytes of the ARGB word that the diffuse colour multiplies.
    uint32_t modulateMask = 0xFFFFFFFF;
    // Or-ed into each pixel read (a target without alpha reads opaque), and
    // and-ed into each pixel written.
    uint32_t readAlpha = 0;
    uint32_t writeMask = 0xFFFFFFFF;

    // Pixels under a source of alpha 0 stay as they are.
    bool ZeroAlphaKeeps() const { return blend == Blend::Over || blend == Blend::Add; }
};

// Texel coordinates in 32.32 fixed point at the first pixel of a span and
// their steps per pixel.
struct TexelWalk {
    int64_t u;
    int64_t v;
    int64_t du;
    int64_t dv;
};

// The ARGB texels of count pixels along the walk, with clamped addressing,
// point or linear sampling: out, or the texture's own row where that holds
// them as they are.
const uint32_t* SampleRow(const DevicePixels& texture, bool linear, const TexelWalk& walk, int32_t count,
                          uint32_t* out);

// The widest vectors ShadeRow uses: AVX2 where the processor has it. Tests
// narrow it to compare each form with the one below it.
enum class SpanWidth { Sse2, Avx2 };
SpanWidth CurrentSpanWidth();
// At most what the processor has.
void SetSpanWidth(SpanWidth width);

// Draws count ARGB pixels of dest from the texels (null without a texture)
// and the diffuse colours, one per pixel or, when flat, the first for all.
void ShadeRow(uint32_t* dest, const uint32_t* texels, const uint32_t* diffuse, bool flat, int32_t count,
              const DeviceShading& shading);

// The most pixels ShadeSpan draws at once.
constexpr int32_t kSpanPixels = 256;

// Whether the target's rows are ARGB words that ShadeRow draws in place;
// the shading of such a target without alpha reads it opaque and writes
// alpha 0.
bool DrawsInPlace(const DevicePixels& target);

// count pixels (at most kSpanPixels) of the target from (x, y) on, as
// ShadeRow draws them.
void ShadeSpan(const DevicePixels& target, int32_t x, int32_t y, int32_t count, const uint32_t* texels,
               const uint32_t* diffuse, bool flat, const DeviceShading& shading);

// Rows of count pixels from (x, y) of the target on, one texel a pixel both
// ways from (textureX, textureY) of the texture on, which holds them all,
// with a flat diffuse colour.
void ShadeBlock(const DevicePixels& target, int32_t x, int32_t y, int32_t rows, int32_t count,
                const DevicePixels& texture, int32_t textureX, int32_t textureY, uint32_t diffuse,
                const DeviceShading& shading);

} // namespace Platform
