#pragma once

#include "platform/display/DeviceSpans.h"
#include "platform/display/Direct3DDevice.h"

#include <array>

namespace Platform {

class DirectDrawSurface;

// The layer's 3D device: rasterizes pre-transformed triangles, triangle
// strips and fans and line strips into the render target's memory, with the
// texture colour and alpha modulated by the diffuse colour, point or linear
// filtering with clamped addressing, and the blend factors zero, one, source
// alpha and inverse source alpha, into targets of any whole-byte depth.
// Pixel centres lie on whole coordinates.
// It identifies as no known card, so the card decision keeps 3D off unless
// the user asks for it.
class SoftwareDevice final : public Direct3DDevice7 {
public:
    explicit SoftwareDevice(DirectDrawSurface* target);

    HRESULT GetCaps(D3DDEVICEDESC7* desc) override;
    HRESULT EnumTextureFormats(TextureFormatCallback callback, void* context) override;
    HRESULT SetViewport(const D3DVIEWPORT7* viewport) override;
    HRESULT Clear(uint32_t count, const D3DRECT* rects, uint32_t flags, uint32_t color, float z,
                  uint32_t stencil) override;
    HRESULT SetRenderTarget(DirectDrawSurface* target, uint32_t flags) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT SetRenderState(uint32_t state, uint32_t value) override;
    HRESULT SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
    HRESULT SetTexture(uint32_t stage, DirectDrawSurface* texture) override;
    HRESULT DrawPrimitive(uint32_t type, uint32_t vertexFormat, const void* vertices, uint32_t count,
                          uint32_t flags) override;

    // The texture formats it offers, in the order it enumerates them.
    static const std::array<DDPIXELFORMAT, 5>& TextureFormats();

private:
    ~SoftwareDevice() override;

    struct Bounds {
        int32_t left, top, right, bottom;
    };
    // One primitive's drawing: its target and texture, and what it does to
    // each pixel.
    struct Draw {
        DevicePixels target;
        DevicePixels texture;
        bool textured = false;
        bool linear = false;
        DeviceShading shading;
        Bounds bounds;
    };

    Bounds DrawBounds() const;
    Draw PrepareDraw();
    // Whether the triangle or segment leaves every pixel as it is.
    bool DrawsNothing(const Draw& draw, const D3DTLVERTEX* const* vertices, int count) const;
    // The texel coordinates and diffuse colour over a triangle or rectangle.
    struct Planes;
    Planes PlanesOf(const Draw& draw, const D3DTLVERTEX* const* vertices) const;
    // Pixels first up to end of row y.
    void FillSpan(const Draw& draw, const Planes& planes, double y, double first, double end) const;
    void FillTriangle(const Draw& draw, const D3DTLVERTEX& a, const D3DTLVERTEX& b, const D3DTLVERTEX& c) const;
    // Draws the strip as one rectangle when it is one: corners in strip
    // order, upright, the texture and colour following its sides.
    bool FillRectangle(const Draw& draw, const D3DTLVERTEX* strip) const;
    void DrawSegment(const Draw& draw, const D3DTLVERTEX& a, const D3DTLVERTEX& b) const;

    DirectDrawSurface* mTarget = nullptr;
    DirectDrawSurface* mTexture = nullptr;
    D3DVIEWPORT7 mViewport;
    bool mInScene = false;
    bool mAlphaBlend = false;
    uint32_t mSourceBlend = D3DBLEND_ONE;
    uint32_t mDestBlend = D3DBLEND_ZERO;
    uint32_t mColorOp = D3DTOP_MODULATE;
    uint32_t mAlphaOp = D3DTOP_SELECTARG1;
    uint32_t mMagFilter = D3DTFG_POINT;
    uint32_t mMinFilter = D3DTFN_POINT;
    std::array<uint32_t, 256> mTargetPalette{};
    std::array<uint32_t, 256> mTexturePalette{};
};

} // namespace Platform
