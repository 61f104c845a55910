#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/TriVertex.h"

#include <cstdint>

namespace Lumo {

class Image;
class TriangleRasterizer;

// The software forms of the matrix and triangle blits, for any destination
// pixels the rasterizer can write. Without a rasterizer nothing is drawn.

// The source rectangle as a quad centred on the origin, through the matrix,
// moved by (x - 0.5, y - 0.5), handed to the rasterizer as one strip; only
// for a memory-image source.
void SoftwareBlitMatrix(TriangleRasterizer* rasterizer, Image* source, const Rect& srcRect, float x, float y,
                        const Matrix3& transform, const Rect& clip, const Color& color, void* destPixels,
                        int32_t destPitch, int32_t format, bool blend);
// Each triangle moved by (tx, ty) and handed to the rasterizer on its own.
void SoftwareBlitTriangles(TriangleRasterizer* rasterizer, Image* source, const TriVertex (*triangles)[3],
                           int triangleCount, const Rect& clip, const Color& color, void* destPixels,
                           int32_t destPitch, int32_t format, float tx, float ty, bool blend);

} // namespace Lumo
