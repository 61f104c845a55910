#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/TriVertex.h"

#include <cstdint>

namespace Lumo {

class MemoryImage;

// Draws textured triangle strips into raw pixel rows; the display supplies
// the implementation, and tests replace it to see what is drawn.
class TriangleRasterizer {
public:
    // Destination pixel formats.
    static constexpr int32_t kFormat888 = 0x888;   // 32-bit, opaque
    static constexpr int32_t kFormat8888 = 0x8888; // 32-bit with alpha
    static constexpr int32_t kFormat565 = 0x565;
    static constexpr int32_t kFormat555 = 0x555;

    virtual ~TriangleRasterizer() = default;

    // vertexCount - 2 triangles, clipped to clip, sampling texture (or none).
    virtual void DrawTriangleStripSoftware(const Rect& clip, const Color& color, const TriVertex* vertices,
                                           int vertexCount, MemoryImage* texture, void* destPixels,
                                           int32_t destPitch, int32_t format, bool blend,
                                           bool hasVertexColors) = 0;
};

} // namespace Lumo
