#pragma once

#include "platform/display/DeviceSpans.h"

#include <cstdint>

// The vector form of ShadeRow, written once over the operations of a vector
// width (Lanes) and built once per width, each in its own file with its own
// instruction set.
namespace Platform {

// Lanes: V, a vector of kPixels pixels, with Load, Store, Broadcast, Zero,
// Set16, And, Or, Xor, Add16, MulLow16, MulHigh16 (unsigned), Low and High
// (the low and high halves of each 128-bit part widened to 16-bit lanes),
// Pack (their inverse, saturating), AlphaOfEach (each pixel's alpha lane
// copied over its four) and AllEqual32 (every pixel of a equals that of b).
template <typename Lanes>
struct SpanGroups {
    using V = typename Lanes::V;

    // Pixels in 16-bit lanes: the channel products, rounded.
    static V Mul(V a, V b)
    {
        return Lanes::MulHigh16(Lanes::Add16(Lanes::MulLow16(a, b), Lanes::Set16(128)), Lanes::Set16(257));
    }

    // Source pixels over or added to the pixels under them, in 16-bit lanes.
    template <DeviceShading::Blend Mode>
    static V Blend(V source, V dest)
    {
        const V alpha = Lanes::AlphaOfEach(source);
        const V weighted = Lanes::MulLow16(source, alpha);
        if constexpr (Mode == DeviceShading::Blend::Over) {
            const V kept = Lanes::MulLow16(dest, Lanes::Xor(alpha, Lanes::Set16(255)));
            // (x + 127) / 255 for x up to 255 * 255.
            return Lanes::MulHigh16(Lanes::Add16(Lanes::Add16(weighted, kept), Lanes::Set16(128)), Lanes::Set16(257));
        } else {
            // The pack saturates at 255.
            return Lanes::Add16(dest, Lanes::MulHigh16(Lanes::Add16(weighted, Lanes::Set16(128)), Lanes::Set16(257)));
        }
    }

    // Whole groups of kPixels; the count drawn.
    template <bool Flat, bool Textured, DeviceShading::Blend Mode>
    static int32_t Shade(uint32_t* dest, const uint32_t* texels, const uint32_t* diffuse, int32_t count,
                         const DeviceShading& shading)
    {
        const V zero = Lanes::Zero();
        const V readAlpha = Lanes::Broadcast(shading.readAlpha);
        const V writeMask = Lanes::Broadcast(shading.writeMask);
        const V unmodulated = Lanes::Broadcast(~shading.modulateMask);
        const V alphaBits = Lanes::Broadcast(0xFF000000);
        const uint32_t factor = diffuse[0] | ~shading.modulateMask;
        const V flatFactor = Lanes::Low(Lanes::Broadcast(factor));
        // A flat factor of white leaves the texels as they are; with an
        // opaque one, opaque texels stay opaque.
        const bool white = factor == 0xFFFFFFFF;
        const bool opaqueFactor = (factor >> 24) == 0xFF;
        int32_t i = 0;
        for (; i + Lanes::kPixels <= count; i += Lanes::kPixels) {
            V low, high;
            bool opaque = false;
            if constexpr (Textured) {
                const V t = Lanes::Load(texels + i);
                const V alpha = Lanes::And(t, alphaBits);
                if (Lanes::AllEqual32(alpha, zero))
                    continue;
                opaque = Mode == DeviceShading::Blend::Over && Flat && opaqueFactor &&
                         Lanes::AllEqual32(alpha, alphaBits);
                low = Lanes::Low(t);
                high = Lanes::High(t);
                if (Flat) {
                    if (!white) {
                        low = Mul(low, flatFactor);
                        high = Mul(high, flatFactor);
                    }
                } else {
                    const V f = Lanes::Or(Lanes::Load(diffuse + i), unmodulated);
                    low = Mul(low, Lanes::Low(f));
                    high = Mul(high, Lanes::High(f));
                }
            } else {
                const V s = Flat ? Lanes::Broadcast(diffuse[0]) : Lanes::Load(diffuse + i);
                low = Lanes::Low(s);
                high = Lanes::High(s);
            }
            if (!opaque) {
                const V d = Lanes::Or(Lanes::Load(dest + i), readAlpha);
                low = Blend<Mode>(low, Lanes::Low(d));
                high = Blend<Mode>(high, Lanes::High(d));
            }
            Lanes::Store(dest + i, Lanes::And(Lanes::Pack(low, high), writeMask));
        }
        return i;
    }

    template <bool Flat, bool Textured>
    static int32_t ShadeIn(uint32_t* dest, const uint32_t* texels, const uint32_t* diffuse, int32_t count,
                           const DeviceShading& shading)
    {
        switch (shading.blend) {
        case DeviceShading::Blend::Over:
            return Shade<Flat, Textured, DeviceShading::Blend::Over>(dest, texels, diffuse, count, shading);
        case DeviceShading::Blend::Add:
            return Shade<Flat, Textured, DeviceShading::Blend::Add>(dest, texels, diffuse, count, shading);
        default:
            return 0;
        }
    }

    // The groups ShadeRow draws: those of over and additive blends.
    static int32_t Row(uint32_t* dest, const uint32_t* texels, const uint32_t* diffuse, bool flat, int32_t count,
                       const DeviceShading& shading)
    {
        if (flat)
            return texels ? ShadeIn<true, true>(dest, texels, diffuse, count, shading)
                          : ShadeIn<true, false>(dest, texels, diffuse, count, shading);
        return texels ? ShadeIn<false, true>(dest, texels, diffuse, count, shading)
                      : ShadeIn<false, false>(dest, texels, diffuse, count, shading);
    }
};

// The eight-pixel form, on processors with AVX2 only.
int32_t ShadeGroupsAvx2(uint32_t* dest, const uint32_t* texels, const uint32_t* diffuse, bool flat, int32_t count,
                        const DeviceShading& shading);

} // namespace Platform
