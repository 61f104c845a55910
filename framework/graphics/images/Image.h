#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/TriVertex.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Lumo {

// One pixel row: columns mX .. mX + mWidth - 1 of row mY.
struct Span {
    int32_t mY;
    int32_t mX;
    int32_t mWidth;
};

// The abstract drawing surface. Graphics works out positions and clipping and
// then calls one of the virtual operations below; the base bodies draw
// nothing, so a bare Image is a safe destination that ignores every draw.
// The slot order of the virtual operations is part of the contract with the
// display's surface image: keep it.
//
// Draw modes: 0 normal (alpha blending), 1 additive. Clip rectangles are in
// destination pixels and already intersected with the destination.
class Image {
public:
    // Optional per-image animation record; deep-copied with the image.
    struct AnimInfo {
        int32_t mAnimType = 0;
        int32_t mFrameDelay = 0;
        int32_t mBeginDelay = 0;
        std::vector<int32_t> mPerFrameDelay;
        std::vector<int32_t> mFrameMap;
        int32_t mTotalAnimTime = 0;
    };

    // Set by every blit on the image it reads from (source and mask).
    bool mDrawn = false;
    std::string mName;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mNumRows = 1;
    int32_t mNumCols = 1;
    std::unique_ptr<AnimInfo> mAnimInfo;

    Image() = default;
    // Takes the size, cel layout and animation record; the name and the
    // drawn flag start afresh.
    Image(const Image& other);
    Image& operator=(const Image&) = delete;

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    // True when rect lies wholly inside the image (an empty rect included).
    bool ContainsRect(const Rect& rect) const;
    // Copies the cel layout and the animation record only.
    void AssignFrom(const Image& other);

    virtual ~Image();
    // points: pointCount (x, y) pairs, each moved by (offsetX, offsetY).
    // Returns true when handled; only a hardware surface handles it.
    virtual bool PolyFill(const int32_t* points, int pointCount, const Rect* clip, const Color& color,
                          int drawMode, int offsetX, int offsetY, int unused);
    virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
    // Outline covering width + 1 by height + 1 pixels, each pixel once.
    virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
    virtual void ClearRect(const Rect& rect);
    virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
    virtual void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
    virtual void FillSpans(const Span* spans, int spanCount, const Color& color, int drawMode);
    // Coverage of pixel (x, y): coverage[(y - coverY) * coverStride + (x - coverX)].
    // Implementations may rewrite the spans.
    virtual void FillSpansWithCoverage(Span* spans, int spanCount, const Color& color, int drawMode,
                                       const uint8_t* coverage, int coverX, int coverY, int coverStride,
                                       int unused);
    virtual void Blit(Image* source, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
    virtual void BlitFloat(Image* source, float x, float y, const Rect& srcRect, const Rect& clip,
                           const Color& color, int drawMode);
    // (centerX, centerY) is relative to the source rectangle's top-left corner.
    virtual void BlitRotated(Image* source, float x, float y, const Rect& srcRect, const Rect& clip,
                             const Color& color, int drawMode, double angle, float centerX, float centerY);
    virtual void BlitStretched(Image* source, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                               const Color& color, int drawMode, bool quick);
    virtual void BlitTransformed(Image* source, float x, float y, const Matrix3& transform, const Rect& clip,
                                 const Color& color, int drawMode, const Rect& srcRect, bool blend);
    virtual void BlitTriangles(Image* source, const TriVertex (*triangles)[3], int triangleCount,
                               const Rect& clip, const Color& color, int drawMode, float tx, float ty,
                               bool blend);
    // The mask rectangle is read alongside the source rectangle.
    virtual void BlitWithAlphaMask(Image* source, int x, int y, const Rect& srcRect, Image* mask,
                                   const Rect& maskRect, const Color& color, int drawMode);
    virtual void BlitMirrored(Image* source, int x, int y, const Rect& srcRect, const Color& color,
                              int drawMode);
    virtual void BlitStretchedMirrored(Image* source, const Rect& destRect, const Rect& srcRect,
                                       const Rect& clip, const Color& color, int drawMode, bool quick);
};

} // namespace Lumo
