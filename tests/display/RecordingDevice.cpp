#include "tests/display/RecordingDevice.h"

#include "framework/display/D3DInterface.h"
#include "platform/display/DisplayDesktop.h"

namespace DisplayTest {

using namespace Platform;

RecordingDevice::RecordingDevice(DirectDrawSurface* target) : mTarget(target)
{
    mTarget->AddRef();
}

RecordingDevice::~RecordingDevice()
{
    if (mTexture)
        mTexture->Release();
    mTarget->Release();
}

void RecordingDevice::ClearLog()
{
    mCalls.clear();
    mDraws.clear();
}

HRESULT RecordingDevice::GetCaps(D3DDEVICEDESC7* desc)
{
    mCalls.push_back("GetCaps");
    if (HRESULT fault = DisplayDesktop::Fault("GetCaps"))
        return fault;
    *desc = mCaps;
    return D3D_OK;
}

HRESULT RecordingDevice::EnumTextureFormats(TextureFormatCallback callback, void* context)
{
    mCalls.push_back("EnumTextureFormats");
    if (HRESULT fault = DisplayDesktop::Fault("EnumTextureFormats"))
        return fault;
    for (DDPIXELFORMAT format : mFormats)
        if (callback(&format, context) == D3DENUMRET_CANCEL)
            break;
    return D3D_OK;
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT7* viewport)
{
    mCalls.push_back("SetViewport " + std::to_string(viewport->dwWidth) + " " + std::to_string(viewport->dwHeight));
    return D3D_OK;
}

HRESULT RecordingDevice::Clear(uint32_t, const D3DRECT*, uint32_t, uint32_t color, float, uint32_t)
{
    mCalls.push_back("Clear " + std::to_string(color));
    return DisplayDesktop::Fault("Clear");
}

HRESULT RecordingDevice::SetRenderTarget(DirectDrawSurface*, uint32_t)
{
    mCalls.push_back("SetRenderTarget");
    return DisplayDesktop::Fault("SetRenderTarget");
}

HRESULT RecordingDevice::BeginScene()
{
    mCalls.push_back("BeginScene");
    return DisplayDesktop::Fault("BeginScene");
}

HRESULT RecordingDevice::EndScene()
{
    mCalls.push_back("EndScene");
    if (mOnEndScene)
        mOnEndScene(mTarget);
    return DisplayDesktop::Fault("EndScene");
}

HRESULT RecordingDevice::SetRenderState(uint32_t state, uint32_t value)
{
    mCalls.push_back("SetRenderState " + std::to_string(state) + " " + std::to_string(value));
    return DisplayDesktop::Fault("SetRenderState");
}

HRESULT RecordingDevice::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value)
{
    mCalls.push_back("SetTextureStageState " + std::to_string(stage) + " " + std::to_string(type) + " " +
                     std::to_string(value));
    return DisplayDesktop::Fault("SetTextureStageState");
}

HRESULT RecordingDevice::SetTexture(uint32_t, DirectDrawSurface* texture)
{
    mCalls.push_back(texture ? "SetTexture" : "SetTexture NULL");
    if (HRESULT fault = DisplayDesktop::Fault("SetTexture"))
        return fault;
    if (texture)
        texture->AddRef();
    if (mTexture)
        mTexture->Release();
    mTexture = texture;
    return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitive(uint32_t type, uint32_t, const void* vertices, uint32_t count, uint32_t)
{
    mCalls.push_back("DrawPrimitive " + std::to_string(type) + " " + std::to_string(count));
    if (HRESULT fault = DisplayDesktop::Fault("DrawPrimitive"))
        return fault;
    const auto* v = static_cast<const D3DTLVERTEX*>(vertices);
    mDraws.push_back(Draw{type, std::vector<D3DTLVERTEX>(v, v + count), mTexture});
    return D3D_OK;
}

RecordingDeviceScope::RecordingDeviceScope(const D3DDEVICEDESC7& caps, std::vector<DDPIXELFORMAT> formats)
    : mCaps(caps), mFormats(std::move(formats))
{
    Direct3D::SetDeviceMaker([this](DirectDrawSurface* target) {
        auto* device = new RecordingDevice(target);
        device->mCaps = mCaps;
        device->mFormats = mFormats;
        device->mOnEndScene = mOnEndScene;
        if (mDevice)
            mDevice->Release();
        device->AddRef();
        mDevice = device;
        return device;
    });
}

RecordingDeviceScope::RecordingDeviceScope() : RecordingDeviceScope(StandardCaps(), StandardFormats()) {}

RecordingDeviceScope::~RecordingDeviceScope()
{
    Direct3D::SetDeviceMaker(nullptr);
    if (mDevice)
        mDevice->Release();
}

D3DDEVICEDESC7 StandardCaps()
{
    D3DDEVICEDESC7 caps;
    caps.dpcTriCaps.dwTextureCaps = D3DPTEXTURECAPS_ALPHAPALETTE;
    caps.dwMaxTextureWidth = 1024;
    caps.dwMaxTextureHeight = 1024;
    return caps;
}

std::vector<DDPIXELFORMAT> StandardFormats()
{
    std::vector<DDPIXELFORMAT> formats;
    for (int type : {Lumo::kPixelTypeA8R8G8B8, Lumo::kPixelTypeA4R4G4B4, Lumo::kPixelTypeR5G6B5,
                     Lumo::kPixelTypePalette8}) {
        DDPIXELFORMAT format;
        Lumo::D3DInterface::FillTexturePixelFormat(&format, type);
        formats.push_back(format);
    }
    return formats;
}

} // namespace DisplayTest
