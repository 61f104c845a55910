#include "framework/display/D3DInterface.h"

#include "framework/display/DDInterface.h"
#include "framework/display/DirectXErrorName.h"
#include "framework/display/DisplayAppHost.h"
#include "framework/display/TextureData.h"
#include "framework/graphics/images/MemoryImage.h"
#include "platform/windows/Window.h"

#include <mutex>

namespace Lumo {

using namespace Platform;

namespace {

using Hold = std::lock_guard<CriticalSectionHolder>;

template <typename T>
void ReleaseAndNull(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

HRESULT AddTextureFormat(DDPIXELFORMAT* format, void* context)
{
    *static_cast<int*>(context) |= D3DInterface::GetTexturePixelType(*format);
    return D3DENUMRET_OK;
}

} // namespace

D3DInterface::D3DInterface(DisplayAppHost* app) : mApp(app)
{
    gTextureSizeLimits = TextureSizeLimits{};
}

D3DInterface::~D3DInterface()
{
    Cleanup();
}

uint32_t D3DInterface::PackColor(const Color& color)
{
    return ((uint32_t(color.mAlpha) * 256 + uint32_t(color.mRed)) * 256 + uint32_t(color.mGreen)) * 256 +
           uint32_t(color.mBlue);
}

void D3DInterface::FillTexturePixelFormat(DDPIXELFORMAT* format, int pixelType)
{
    *format = DDPIXELFORMAT{};
    format->dwSize = 32;
    switch (pixelType) {
    case kPixelTypeA8R8G8B8:
        format->dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
        format->dwRGBBitCount = 32;
        format->dwRGBAlphaBitMask = 0xFF000000;
        format->dwRBitMask = 0x00FF0000;
        format->dwGBitMask = 0x0000FF00;
        format->dwBBitMask = 0x000000FF;
        break;
    case kPixelTypeA4R4G4B4:
        format->dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
        format->dwRGBBitCount = 16;
        format->dwRGBAlphaBitMask = 0xF000;
        format->dwRBitMask = 0x0F00;
        format->dwGBitMask = 0x00F0;
        format->dwBBitMask = 0x000F;
        break;
    case kPixelTypeR5G6B5:
        format->dwFlags = DDPF_RGB;
        format->dwRGBBitCount = 16;
        format->dwRBitMask = 0xF800;
        format->dwGBitMask = 0x07E0;
        format->dwBBitMask = 0x001F;
        break;
    case kPixelTypePalette8:
        format->dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        format->dwRGBBitCount = 8;
        break;
    default:
        break;
    }
}

int D3DInterface::GetTexturePixelType(const DDPIXELFORMAT& format)
{
    for (const int type : {kPixelTypeA8R8G8B8, kPixelTypeA4R4G4B4, kPixelTypeR5G6B5, kPixelTypePalette8}) {
        DDPIXELFORMAT known;
        FillTexturePixelFormat(&known, type);
        if (format.dwFlags == known.dwFlags && format.dwRGBBitCount == known.dwRGBBitCount &&
            (type == kPixelTypePalette8 ||
             (format.dwRGBAlphaBitMask == known.dwRGBAlphaBitMask && format.dwRBitMask == known.dwRBitMask &&
              format.dwGBitMask == known.dwGBitMask && format.dwBBitMask == known.dwBBitMask)))
            return type;
    }
    return kPixelTypeNone;
}

const char* D3DInterface::TexturePixelTypeName(int pixelType)
{
    switch (pixelType) {
    case kPixelTypeA8R8G8B8:
        return "A8R8G8B8";
    case kPixelTypeA4R4G4B4:
        return "A4R4G4B4";
    case kPixelTypeR5G6B5:
        return "R5G6B5";
    case kPixelTypePalette8:
        return "Palette8";
    default:
        return "";
    }
}

bool D3DInterface::InitFromDDInterface(DDInterface* display)
{
    gD3DErrorText.clear();
    mDisplay = display;
    mDirectDraw = display->mDD7;
    mWindow = display->mHWnd;
    mWidth = display->mWidth;
    mHeight = display->mHeight;
    void* queried = nullptr;
    if (!display->mDrawSurface) {
        CheckResult("Query DrawSurface", DDERR_INVALIDOBJECT);
        return false;
    }
    if (CheckResult("Query DrawSurface", display->mDrawSurface->QueryInterface(IID_IDirectDrawSurface7, &queried)))
        return false;
    mRenderTarget = static_cast<IDirectDrawSurface7*>(queried);
    return InitD3D();
}

bool D3DInterface::InitD3D()
{
    void* queried = nullptr;
    const HRESULT queriedResult =
        mDirectDraw ? mDirectDraw->QueryInterface(IID_IDirect3D7, &queried) : DDERR_NODIRECTDRAWHW;
    if (CheckResult("QueryInterface IID_IDirect3D7", queriedResult))
        return false;
    mD3D = static_cast<IDirect3D7*>(queried);
    if (CheckResult("CreateDevice IID_IDirect3DHALDevice",
                    mD3D->CreateDevice(IID_IDirect3DHALDevice, mRenderTarget, &mDevice)))
        return false;
    D3DDEVICEDESC7 desc;
    if (CheckResult("", mDevice->GetCaps(&desc)))
        return false;

    TextureSizeLimits& limits = gTextureSizeLimits;
    limits.mMaxWidth = int(desc.dwMaxTextureWidth);
    limits.mMaxHeight = int(desc.dwMaxTextureHeight);
    limits.mMinWidth = int(desc.dwMinTextureWidth);
    limits.mMinHeight = int(desc.dwMinTextureHeight);
    limits.mMaxAspectRatio = int(desc.dwMaxTextureAspectRatio);
    if (desc.dwMaxTextureWidth == 0) {
        limits = TextureSizeLimits{};
    } else {
        limits.mMaxWidth = desc.dwMaxTextureWidth > 1024 ? 1024 : limits.mMaxWidth;
        limits.mMaxHeight = desc.dwMaxTextureHeight > 1024 ? 1024 : limits.mMaxHeight;
        if (limits.mMinWidth < 1)
            limits.mMinWidth = 1;
        if (limits.mMinHeight < 1)
            limits.mMinHeight = 1;
        if (limits.mMaxAspectRatio == 0)
            limits.mMaxAspectRatio = 65536;
    }

    gSupportedTextureTypes = 0;
    mDevice->EnumTextureFormats(AddTextureFormat, &gSupportedTextureTypes);
    if (!(desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_ALPHAPALETTE))
        gSupportedTextureTypes &= ~kPixelTypePalette8;

    SetupViewport();
    mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    return true;
}

void D3DInterface::SetupViewport()
{
    RECT client;
    GetClientRect(mWindow, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(mWindow, &topLeft);
    ClientToScreen(mWindow, &bottomRight);
    mViewport = D3DVIEWPORT7{};
    mViewport.dwWidth = uint32_t(bottomRight.x - topLeft.x);
    mViewport.dwHeight = uint32_t(bottomRight.y - topLeft.y);
    mViewport.dvMinZ = 0.0f;
    mViewport.dvMaxZ = 1.0f;
    mDevice->SetViewport(&mViewport);
}

bool D3DInterface::CheckResult(const char* label, HRESULT result)
{
    if (SUCCEEDED(result))
        return false;
    gD3DErrorText = std::string(label) + ": " + DirectXErrorName(result);
    mApp->StoreD3DRuntimeError(gD3DErrorText);
    return true;
}

bool D3DInterface::PreDraw()
{
    if (mApp->IsMinimized() || !mDevice)
        return false;
    if (mSceneBegun)
        return true;
    if (FAILED(mDevice->SetRenderTarget(mRenderTarget, 0))) {
        gD3DDrawFailed = true;
        return false;
    }
    gD3DDrawFailed = false;
    mDevice->BeginScene();
    mDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    mDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, 0);
    mDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    mDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
    mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    mDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    mDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    mDevice->SetRenderState(D3DRENDERSTATE_DITHERENABLE, 0);
    mDevice->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, 0);
    mDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, 0);
    mDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, 0);
    mDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    mSceneBegun = true;
    gLinearFilter = false;
    return true;
}

void D3DInterface::Flush()
{
    if (!mSceneBegun)
        return;
    mDevice->EndScene();
    mSceneBegun = false;
    gD3DErrorText.clear();
}

void D3DInterface::SetBlendMode(int drawMode)
{
    mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, drawMode == 0 ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
}

void D3DInterface::SetLinearFilter(bool on)
{
    if (on == gLinearFilter)
        return;
    const char* label = on ? "SetTextureStageState LINEAR" : "SetTextureStageState Point";
    CheckResult(label, mDevice->SetTextureStageState(0, D3DTSS_MINFILTER, on ? D3DTFN_LINEAR : D3DTFN_POINT));
    CheckResult(label, mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, on ? D3DTFG_LINEAR : D3DTFG_POINT));
    CheckResult(label, mDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, on ? D3DTFP_POINT : D3DTFP_NONE));
    gLinearFilter = on;
}

IDirectDrawSurface7* D3DInterface::CreateTextureSurface(IDirectDraw7* directDraw, IDirect3DDevice7* device,
                                                        int width, int height, int pixelType)
{
    if (CheckResult("SetTexture NULL", device->SetTexture(0, nullptr)))
        return nullptr;
    DDSURFACEDESC2 desc;
    desc.dwSize = 124;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwHeight = uint32_t(height);
    desc.dwWidth = uint32_t(width);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    desc.ddsCaps.dwCaps2 = DDSCAPS2_D3DTEXTUREMANAGE;
    FillTexturePixelFormat(&desc.ddpfPixelFormat, pixelType);
    IDirectDrawSurface7* surface = nullptr;
    if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr)))
        return nullptr;
    return surface;
}

bool D3DInterface::CreateImageTexture(MemoryImage* image)
{
    if (!mDevice)
        return false;
    bool created = false;
    bool purge = false;
    if (!image->textureData) {
        image->textureData = new TextureData();
        {
            Hold hold(mDisplay->mDisplayLock);
            mImages.insert(image);
        }
        created = true;
        purge = image->purgeWanted;
    }
    image->textureData->CheckCreateTextures(this, image, mDirectDraw, mDevice);
    if (created && purge)
        image->PurgeBits();
    return image->textureData->mPixelType != kPixelTypeNone;
}

void D3DInterface::RemoveImageTexture(MemoryImage* image)
{
    if (!image->textureData)
        return;
    delete image->textureData;
    image->textureData = nullptr;
    if (mDisplay) {
        Hold hold(mDisplay->mDisplayLock);
        mImages.erase(image);
    }
}

bool D3DInterface::CopyTexturesToBits(const MemoryImage* image, uint32_t* pixels)
{
    TextureData* textures = image->textureData;
    if (!textures || !pixels || textures->mChangeCount != image->bitsChangeCount)
        return false;
    return textures->CopyToBits(this, image, pixels);
}

void D3DInterface::Cleanup()
{
    Flush();
    for (MemoryImage* image : mImages) {
        // A purged image keeps its pixels only in its textures: they come
        // back before the textures go.
        if (!image->bits && !image->colorTable && image->textureData->mPixelType != kPixelTypeNone)
            image->GetPixelBits();
        delete image->textureData;
        image->textureData = nullptr;
    }
    mImages.clear();
    ReleaseAndNull(mDevice);
    ReleaseAndNull(mD3D);
    ReleaseAndNull(mRenderTarget);
}

} // namespace Lumo
