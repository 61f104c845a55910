#pragma once

#include "framework/graphics/images/TriangleRasterizer.h"

#include <cstdint>

namespace Lumo {

// The software triangle rasterizer of the matrix and triangle blits: clips
// each triangle of a strip, converts it to 16.16 and fills it with the span
// routine chosen by the draw's features and the destination format. Pixel
// centres lie on whole coordinates. The clipped-vertex pool is per thread.
class SoftwareRasterizer : public TriangleRasterizer {
public:
    // A clipped vertex in 16.16: position, colour channels, texel position.
    struct FixedVertex {
        int32_t mX, mY, mA, mR, mG, mB, mU, mV;
    };
    struct TextureBlock {
        const uint32_t* mPixels;
        int32_t mShift;     // 16 - floor(log2(width))
        int32_t mMaxU;      // (width - 1) << 16
        int32_t mMaxV;      // (height - 1) << 16
        int32_t mWidth;
        int32_t mSize;      // width * height
        int32_t mHeight;
    };
    struct ColorBlock {
        int32_t mA, mR, mG, mB;
    };
    using SpanRoutine = void (*)(const FixedVertex* triangle, uint8_t* dest, int32_t pitch,
                                 const TextureBlock* texture, const ColorBlock* color);

    // Key bits of the span table.
    static constexpr int32_t kTextured = 16;
    static constexpr int32_t kTextureAlpha = 8;
    static constexpr int32_t kVertexColor = 4;
    static constexpr int32_t kTinted = 2;
    static constexpr int32_t kBlend = 1;

    void DrawTriangleStripSoftware(const Rect& clip, const Color& color, const TriVertex* vertices, int vertexCount,
                                   MemoryImage* texture, void* destPixels, int32_t destPitch, int32_t format,
                                   bool blend, bool hasVertexColors) override;

    // Cuts the triangle to the inclusive bounds; out receives up to 9
    // vertices and a null. Returns the count, 0 when fewer than 3 remain.
    static int ClipTriangleSoftware(const TriVertex* a, const TriVertex* b, const TriVertex* c, float left,
                                    float right, float top, float bottom, const TriVertex** out);
    // The table index of the key flags on the format.
    static int32_t SpanKey(int32_t flags, int32_t format);
    static void SelectSpanRoutine(int32_t flags, int32_t format, const FixedVertex* triangle, void* dest,
                                  int32_t pitch, const TextureBlock* texture, const ColorBlock* color);
};

} // namespace Lumo
