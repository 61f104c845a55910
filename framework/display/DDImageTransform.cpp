#include "framework/display/DDImage.h"

#include "framework/display/DDInterface.h"
#include "framework/display/D3DInterface.h"
#include "framework/graphics/images/ImageHost.h"
#include "framework/graphics/images/SoftwareBlits.h"
#include "framework/graphics/images/TriangleRasterizer.h"

#include <algorithm>

namespace Lumo {

using namespace Platform;

namespace {

// The rasterizer's name for the locked surface's layout; 0 for a layout it
// has no routines for.
int32_t SurfaceFormatCode(const DDPIXELFORMAT& format)
{
    if (format.dwRGBBitCount == 32)
        return TriangleRasterizer::kFormat888;
    if (format.dwRGBBitCount != 16 || format.dwBBitMask != 0x1F)
        return 0;
    if (format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x7E0)
        return TriangleRasterizer::kFormat565;
    if (format.dwRBitMask == 0x7C00 && format.dwGBitMask == 0x3E0)
        return TriangleRasterizer::kFormat555;
    return 0;
}

} // namespace

template <typename Draw>
void DDImage::RasterizeOnSurface(Draw&& draw)
{
    TriangleRasterizer* rasterizer = app->GetTriangleRasterizer();
    if (!GetSurface() || !LockSurface())
        return;
    const int32_t format = SurfaceFormatCode(mLockDesc.ddpfPixelFormat);
    if (rasterizer && format != 0)
        draw(rasterizer, mLockDesc.lpSurface, mLockDesc.lPitch, format);
    UnlockSurface();
    if (rasterizer && format != 0)
        DiscardMemoryCopies();
}

void DDImage::BlitTransformed(Image* source, float x, float y, const Matrix3& transform, const Rect& clip,
                              const Color& color, int drawMode, const Rect& srcRect, bool blend)
{
    source->mDrawn = true;
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->BltTransformed(source, &clip, color, drawMode, srcRect, transform, blend, x, y,
                                                    true);
        return;
    }
    RasterizeOnSurface([&](TriangleRasterizer* rasterizer, void* pixels, int32_t pitch, int32_t format) {
        SoftwareBlitMatrix(rasterizer, source, srcRect, x, y, transform, clip, color, pixels, pitch, format, blend);
    });
}

void DDImage::BlitTriangles(Image* source, const TriVertex (*triangles)[3], int triangleCount, const Rect& clip,
                            const Color& color, int drawMode, float tx, float ty, bool blend)
{
    source->mDrawn = true;
    if (IsScreen3D()) {
        mDDInterface->mD3DInterface->BltTriangles(source, triangles, triangleCount, color, drawMode, tx, ty, blend);
        return;
    }
    RasterizeOnSurface([&](TriangleRasterizer* rasterizer, void* pixels, int32_t pitch, int32_t format) {
        SoftwareBlitTriangles(rasterizer, source, triangles, triangleCount, clip, color, pixels, pitch, format, tx,
                              ty, blend);
    });
}

void DDImage::FillSpansWithCoverage(Span* spans, int spanCount, const Color& color, int drawMode,
                                    const uint8_t* coverage, int coverX, int coverY, int coverStride, int unused)
{
    if (spanCount <= 0)
        return;
    if (IsScreen3D()) {
        int32_t left = spans[0].mX;
        int32_t top = spans[0].mY;
        int32_t right = spans[0].mX + spans[0].mWidth - 1;
        int32_t bottom = spans[0].mY;
        for (int i = 1; i < spanCount; ++i) {
            left = std::min(left, spans[i].mX);
            top = std::min(top, spans[i].mY);
            right = std::max(right, spans[i].mX + spans[i].mWidth - 1);
            bottom = std::max(bottom, spans[i].mY);
        }
        for (int i = 0; i < spanCount; ++i) {
            spans[i].mX -= left;
            spans[i].mY -= top;
        }
        MemoryImage filled(app);
        filled.SetSize(right - left + 1, bottom - top + 1);
        filled.MemoryImage::FillSpansWithCoverage(spans, spanCount, color, drawMode, coverage, coverX - left,
                                                  coverY - top, coverStride, unused);
        Blit(&filled, left, top, Rect{0, 0, filled.mWidth, filled.mHeight}, Color::White, drawMode);
        return;
    }
    if (!GetSurface() || !LockSurface())
        return;
    const uint32_t alpha = Tint::Channel(color.mAlpha);
    const uint32_t channels[3] = {Tint::Channel(color.mRed), Tint::Channel(color.mGreen), Tint::Channel(color.mBlue)};
    const bool written = WithRasterFormat<false>(mLockDesc, [&](auto raster) {
        using Pixel = typename decltype(raster)::Pixel;
        const uint32_t masks[3] = {raster.mRed, raster.mGreen, raster.mBlue};
        uint32_t packed[3];
        for (int c = 0; c < 3; ++c)
            packed[c] = uint32_t((uint64_t(channels[c]) * masks[c] >> 8) & masks[c]);
        for (int s = 0; s < spanCount; ++s) {
            const Span& span = spans[s];
            // Cut to the image, as the memory image does.
            if (span.mY < 0 || span.mY >= mHeight)
                continue;
            const int32_t first = std::max(span.mX, 0);
            const int32_t end = int32_t(std::min(int64_t(span.mX) + span.mWidth, int64_t(mWidth)));
            Pixel* row = raster.Row(span.mY);
            const uint8_t* weights = coverage + ptrdiff_t(span.mY - coverY) * coverStride - ptrdiff_t(coverX);
            for (int32_t x = first; x < end; ++x) {
                const uint32_t a = ((uint32_t(weights[x]) + 1) * alpha) >> 8;
                const uint32_t d = row[x];
                uint32_t pixel = 0;
                for (int c = 0; c < 3; ++c)
                    pixel |= uint32_t(((uint64_t(d & masks[c]) * (256 - a) + uint64_t(packed[c]) * a) >> 8) &
                                      masks[c]);
                row[x] = Pixel(pixel);
            }
        }
    });
    UnlockSurface();
    if (written)
        DiscardMemoryCopies();
}

} // namespace Lumo
