#pragma once

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

    // How a surface's pixels map to 8-bit channels.
    struct PixelLayout {
        uint8_t* pixels = nullptr;
        int32_t pitch = 0;
        int32_t width = 0;
        int32_t height = 0;
        int32_t bytes = 0;
        uint32_t masks[4] = {};  // alpha, red, green, blue
        uint32_t shifts[4] = {};
        uint32_t maxima[4] = {};
        bool palettized = false;
        // 32-bit pixels with the channels at their byte places: read and
        // written as they are (without an alpha mask, read as opaque).
        bool direct32 = false;
        // Per channel of at most 8 bits: the 8-bit value of each raw value,
        // and the raw value of each 8-bit one.
        bool tabled = false;
        std::array<std::array<uint8_t, 256>, 4> widen{};
        std::array<std::array<uint8_t, 256>, 4> narrow{};
        std::array<uint32_t, 256> palette{};
    };
    struct Bounds {
        int32_t left, top, right, bottom;
    };

    static PixelLayout LayoutOf(DirectDrawSurface* surface);
    static uint32_t ReadArgb(const PixelLayout& layout, int32_t x, int32_t y);
    static void WriteArgb(const PixelLayout& layout, int32_t x, int32_t y, uint32_t argb);
    Bounds DrawBounds() const;
    uint32_t Sample(const PixelLayout& texture, double u, double v) const;
    // The source colour of a pixel from its texture coordinates and diffuse colour.
    uint32_t Shade(const PixelLayout* texture, double u, double v, uint32_t diffuse) const;
    void Put(const PixelLayout& target, int32_t x, int32_t y, uint32_t source) const;
    void FillTriangle(const PixelLayout& target, const PixelLayout* texture, const Bounds& bounds,
                      const D3DTLVERTEX& a, const D3DTLVERTEX& b, const D3DTLVERTEX& c) const;
    void DrawSegment(const PixelLayout& target, const PixelLayout* texture, const Bounds& bounds,
                     const D3DTLVERTEX& a, const D3DTLVERTEX& b) const;

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
};

} // namespace Platform
