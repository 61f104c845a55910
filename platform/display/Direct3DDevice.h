#pragma once

#include "platform/display/Direct3DTypes.h"
#include "platform/display/DirectDrawObject.h"
#include "platform/display/DirectXResults.h"

namespace Platform {

class DirectDrawSurface;

// A 3D device drawing pre-transformed primitives into its render target.
// The layer serves it in software; tests put a recording one in its place.
class Direct3DDevice7 : public DirectDrawObject {
public:
    using TextureFormatCallback = HRESULT (*)(DDPIXELFORMAT* format, void* context);

    virtual HRESULT GetCaps(D3DDEVICEDESC7* desc) = 0;
    // Calls back once per texture format until the callback answers
    // D3DENUMRET_CANCEL.
    virtual HRESULT EnumTextureFormats(TextureFormatCallback callback, void* context) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT7* viewport) = 0;
    virtual HRESULT Clear(uint32_t count, const D3DRECT* rects, uint32_t flags, uint32_t color, float z,
                          uint32_t stencil) = 0;
    virtual HRESULT SetRenderTarget(DirectDrawSurface* target, uint32_t flags) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT SetRenderState(uint32_t state, uint32_t value) = 0;
    virtual HRESULT SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) = 0;
    virtual HRESULT SetTexture(uint32_t stage, DirectDrawSurface* texture) = 0;
    virtual HRESULT DrawPrimitive(uint32_t type, uint32_t vertexFormat, const void* vertices, uint32_t count,
                                  uint32_t flags) = 0;
};

using IDirect3DDevice7 = Direct3DDevice7;

} // namespace Platform
