#include "framework/graphics/images/MemoryImage.h"

#include "framework/graphics/images/ImageHost.h"
#include "framework/graphics/images/SoftwareBlits.h"
#include "framework/graphics/images/TriangleRasterizer.h"

namespace Lumo {

namespace {

// What the rasterizer may assume of this image's alpha.
int32_t DestinationFormat(const MemoryImage& image)
{
    const bool opaque = image.alphaFlagsForced && !image.hasTransparency && !image.hasTranslucency;
    return opaque ? TriangleRasterizer::kFormat888 : TriangleRasterizer::kFormat8888;
}

} // namespace

void MemoryImage::BlitTransformed(Image* source, float x, float y, const Matrix3& transform, const Rect& clip,
                                  const Color& color, int, const Rect& srcRect, bool blend)
{
    source->mDrawn = true;
    if (!dynamic_cast<MemoryImage*>(source))
        return;
    uint32_t* pixels = GetPixelBits();
    if (pixels)
        SoftwareBlitMatrix(app->GetTriangleRasterizer(), source, srcRect, x, y, transform,
                           clip.Intersect(Rect{0, 0, mWidth, mHeight}), color, pixels, mWidth * 4,
                           DestinationFormat(*this), blend);
    MarkBitsChanged();
}

void MemoryImage::BlitTriangles(Image* source, const TriVertex (*triangles)[3], int triangleCount, const Rect& clip,
                                const Color& color, int, float tx, float ty, bool blend)
{
    source->mDrawn = true;
    if (!dynamic_cast<MemoryImage*>(source))
        return;
    uint32_t* pixels = GetPixelBits();
    if (pixels)
        SoftwareBlitTriangles(app->GetTriangleRasterizer(), source, triangles, triangleCount,
                              clip.Intersect(Rect{0, 0, mWidth, mHeight}), color, pixels, mWidth * 4,
                              DestinationFormat(*this), tx, ty, blend);
    MarkBitsChanged();
}

} // namespace Lumo
