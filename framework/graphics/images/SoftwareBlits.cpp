#include "framework/graphics/images/SoftwareBlits.h"

#include "framework/graphics/images/MemoryImage.h"
#include "framework/graphics/images/TriangleRasterizer.h"

namespace Lumo {

void SoftwareBlitMatrix(TriangleRasterizer* rasterizer, Image* source, const Rect& srcRect, float x, float y,
                        const Matrix3& transform, const Rect& clip, const Color& color, void* destPixels,
                        int32_t destPitch, int32_t format, bool blend)
{
    auto* texture = dynamic_cast<MemoryImage*>(source);
    if (!rasterizer || !texture || texture->mWidth <= 0 || texture->mHeight <= 0)
        return;
    const float halfWidth = float(srcRect.mWidth) / 2;
    const float halfHeight = float(srcRect.mHeight) / 2;
    const float textureWidth = float(texture->mWidth);
    const float textureHeight = float(texture->mHeight);
    TriVertex quad[4];
    for (int corner = 0; corner < 4; ++corner) {
        const bool right = corner & 1;
        const bool bottom = corner & 2;
        const auto moved = transform.TransformVector(right ? halfWidth : -halfWidth,
                                                     bottom ? halfHeight : -halfHeight, 1.0f);
        quad[corner] = TriVertex{moved[0] + (x - 0.5f), moved[1] + (y - 0.5f),
                                 float(right ? srcRect.mX + srcRect.mWidth : srcRect.mX) / textureWidth,
                                 float(bottom ? srcRect.mY + srcRect.mHeight : srcRect.mY) / textureHeight,
                                 0xFFFFFFFF};
    }
    rasterizer->DrawTriangleStripSoftware(clip, color, quad, 4, texture, destPixels, destPitch, format, blend, false);
}

void SoftwareBlitTriangles(TriangleRasterizer* rasterizer, Image* source, const TriVertex (*triangles)[3],
                           int triangleCount, const Rect& clip, const Color& color, void* destPixels,
                           int32_t destPitch, int32_t format, float tx, float ty, bool blend)
{
    if (!rasterizer)
        return;
    auto* texture = dynamic_cast<MemoryImage*>(source);
    for (int t = 0; t < triangleCount; ++t) {
        TriVertex moved[3];
        bool hasVertexColors = false;
        for (int k = 0; k < 3; ++k) {
            moved[k] = triangles[t][k];
            moved[k].mX += tx;
            moved[k].mY += ty;
            hasVertexColors |= moved[k].mColor != 0;
        }
        rasterizer->DrawTriangleStripSoftware(clip, color, moved, 3, texture, destPixels, destPitch, format, blend,
                                              hasVertexColors);
    }
}

} // namespace Lumo
