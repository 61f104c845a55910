#pragma once

#include "framework/graphics/FRect.h"
#include "framework/graphics/images/MemoryImage.h"
#include "framework/display/RasterFormat.h"
#include "platform/display/DirectDrawSurface.h"

namespace Lumo {

class DDInterface;

// The display's image: a memory image whose pixels may also, or instead, live
// in a surface in the display's format. Draws go to the 3D device on the 3D
// draw surface, to the software raster routines on the locked surface when
// neither image has alpha to keep, and to the memory image otherwise.
class DDImage : public MemoryImage {
public:
    explicit DDImage(DDInterface* display);
    ~DDImage() override;

    bool PolyFill(const int32_t* points, int pointCount, const Rect* clip, const Color& color, int drawMode,
                  int offsetX, int offsetY, int unused) override;
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void Blit(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BlitFloat(Image* source, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                   int drawMode) override;
    void BlitRotated(Image* source, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                     int drawMode, double angle, float centerX, float centerY) override;
    void BlitStretched(Image* source, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                       const Color& color, int drawMode, bool quick) override;
    void BlitTransformed(Image* source, float x, float y, const Matrix3& transform, const Rect& clip,
                         const Color& color, int drawMode, const Rect& srcRect, bool blend) override;
    void BlitTriangles(Image* source, const TriVertex (*triangles)[3], int triangleCount, const Rect& clip,
                       const Color& color, int drawMode, float tx, float ty, bool blend) override;
    void BlitWithAlphaMask(Image* source, int x, int y, const Rect& srcRect, Image* mask, const Rect& maskRect,
                           const Color& color, int drawMode) override;
    void BlitMirrored(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void BlitStretchedMirrored(Image* source, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                               const Color& color, int drawMode, bool quick) override;
    void FillSpansWithCoverage(Span* spans, int spanCount, const Color& color, int drawMode,
                               const uint8_t* coverage, int coverX, int coverY, int coverStride,
                               int unused) override;

    void PurgeBits() override;
    void DeleteAllDerivedData() override;
    void ReapplyStorageMode() override;
    void MarkBitsChanged() override;
    void CheckAlpha() override;
    void DeleteNativeData() override;
    void SetSize(int width, int height) override;
    uint32_t* GetPixelBits() override;
    bool Palettize() override;

    virtual void SetVideoMemory(bool inVideoMemory);
    virtual void ApplyColorKey();
    virtual void FillRectNormal(const Rect& rect, const Color& color);
    virtual void FillRectAdditive(const Rect& rect, const Color& color);
    virtual void BlitNormal(Image* source, int x, int y, const Rect& srcRect, const Color& color);
    virtual void BlitAdditive(Image* source, int x, int y, const Rect& srcRect, const Color& color);
    virtual void DrawLineNormal(double x1, double y1, double x2, double y2, const Color& color);
    virtual void DrawLineAdditive(double x1, double y1, double x2, double y2, const Color& color);
    virtual void DrawLineAntialiased(double x1, double y1, double x2, double y2, const Color& color);
    // An additive antialiased line draws nothing in software.
    virtual void DrawLineAntialiasedAdditive(double x1, double y1, double x2, double y2, const Color& color);
    virtual void BlitMirrorNormal(Image* source, int x, int y, const Rect& srcRect, const Color& color);
    virtual void BlitMirrorAdditive(Image* source, int x, int y, const Rect& srcRect, const Color& color);
    virtual void BlitWithAlphaMaskNormal(Image* source, int x, int y, const Rect& srcRect, Image* mask,
                                         const Rect& maskRect, const Color& color);
    virtual bool LockSurface();
    virtual bool UnlockSurface();
    virtual Platform::HRESULT AttachSurface(Platform::IDirectDrawSurface* surface);

    bool IsScreen3D();
    static bool Check3D(Image* image);
    bool CreateSurface();
    void DeleteSurface();
    Platform::IDirectDrawSurface* GetSurface();
    void DiscardMemoryCopies();

    DDInterface* mDDInterface;
    Platform::IDirectDrawSurface* mSurface = nullptr;
    bool mSurfaceAttached = false;
    bool mNoSoftwareDraw = false;
    bool mInVideoMemory = false;
    bool mWantSurface = false;
    int mLockDepth = 0;
    Platform::DDSURFACEDESC mLockDesc;

private:
    // Set by a software routine that locked the surface and drew into it:
    // only then may the memory copies go.
    bool mSurfaceWritten = false;

    // Whether this image's own draws may run in software on its surface.
    bool SoftwareDrawAllowed();
    // The DirectDraw copy of a surfaced source, with the destination's lock
    // released around it.
    void BltFromSurface(DDImage* source, int x, int y, const Rect& srcRect);
    // Fills the locked surface from the bits; false for an unknown depth.
    bool WriteSurfaceFromBits();
    // The additive channels of the locked surface with the display's tables.
    void SaturationChannels(SaturationChannel channels[3]);
    // The normal and additive blits, straight or mirrored.
    template <bool Mirrored>
    void BlitAlpha(Image* source, int x, int y, const Rect& srcRect, const Color& color);
    template <bool Mirrored>
    void BlitAdd(Image* source, int x, int y, const Rect& srcRect, const Color& color);
    // Runs draw(rasterizer, pixels, pitch, format code) on the locked surface
    // when a rasterizer has routines for its layout.
    template <typename Draw>
    void RasterizeOnSurface(Draw&& draw);
    // The nearest-sample stretch of the mapped source area onto dest.
    template <bool Mirrored>
    void StretchNearest(MemoryImage* source, const Rect& dest, const FRect& from, const Color& color, int drawMode);
};

} // namespace Lumo
