#pragma once

#include "platform/display/Direct3D.h"
#include "platform/display/Direct3DDevice.h"
#include "platform/display/DirectDrawSurface.h"

#include <functional>
#include <string>
#include <vector>

namespace DisplayTest {

// A 3D device that draws nothing: it answers with scripted caps and texture
// formats, records every call in order and keeps the vertices of each draw.
// Faults come from DisplayDesktop::FailCall like those of the layer's own
// device.
class RecordingDevice final : public Platform::Direct3DDevice7 {
public:
    struct Draw {
        uint32_t mType;
        std::vector<Platform::D3DTLVERTEX> mVertices;
        Platform::DirectDrawSurface* mTexture;
    };

    explicit RecordingDevice(Platform::DirectDrawSurface* target);

    Platform::HRESULT GetCaps(Platform::D3DDEVICEDESC7* desc) override;
    Platform::HRESULT EnumTextureFormats(TextureFormatCallback callback, void* context) override;
    Platform::HRESULT SetViewport(const Platform::D3DVIEWPORT7* viewport) override;
    Platform::HRESULT Clear(uint32_t count, const Platform::D3DRECT* rects, uint32_t flags, uint32_t color, float z,
                            uint32_t stencil) override;
    Platform::HRESULT SetRenderTarget(Platform::DirectDrawSurface* target, uint32_t flags) override;
    Platform::HRESULT BeginScene() override;
    Platform::HRESULT EndScene() override;
    Platform::HRESULT SetRenderState(uint32_t state, uint32_t value) override;
    Platform::HRESULT SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
    Platform::HRESULT SetTexture(uint32_t stage, Platform::DirectDrawSurface* texture) override;
    Platform::HRESULT DrawPrimitive(uint32_t type, uint32_t vertexFormat, const void* vertices, uint32_t count,
                                    uint32_t flags) override;

    // The calls since the last ClearLog, each as its name and arguments.
    std::vector<std::string> mCalls;
    std::vector<Draw> mDraws;
    void ClearLog();

    Platform::D3DDEVICEDESC7 mCaps;
    std::vector<Platform::DDPIXELFORMAT> mFormats;
    // Runs at each EndScene with the render target, to stand for what a
    // device would have drawn.
    std::function<void(Platform::DirectDrawSurface* target)> mOnEndScene;
    Platform::DirectDrawSurface* mTarget;

private:
    ~RecordingDevice() override;

    Platform::DirectDrawSurface* mTexture = nullptr;
};

// Makes every 3D device of its lifetime a recording one with the given caps
// and formats and keeps the last one made.
class RecordingDeviceScope {
public:
    RecordingDeviceScope(const Platform::D3DDEVICEDESC7& caps, std::vector<Platform::DDPIXELFORMAT> formats);
    RecordingDeviceScope();
    ~RecordingDeviceScope();
    RecordingDeviceScope(const RecordingDeviceScope&) = delete;
    RecordingDeviceScope& operator=(const RecordingDeviceScope&) = delete;

    RecordingDevice* Device() { return mDevice; }
    // Set before the device is made.
    std::function<void(Platform::DirectDrawSurface*)> mOnEndScene;

private:
    RecordingDevice* mDevice = nullptr;
    Platform::D3DDEVICEDESC7 mCaps;
    std::vector<Platform::DDPIXELFORMAT> mFormats;
};

// Caps of a device with 1024 maxima, no minimum, no aspect limit and alpha
// palettes; its formats are the four texture types.
Platform::D3DDEVICEDESC7 StandardCaps();
std::vector<Platform::DDPIXELFORMAT> StandardFormats();

} // namespace DisplayTest
