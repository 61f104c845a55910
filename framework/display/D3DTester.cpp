#include "framework/display/D3DTester.h"

#include "framework/core/StringUtils.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/DirectXErrorName.h"
#include "framework/display/DisplayAppHost.h"
#include "platform/process/Modules.h"

#include <algorithm>
#include <cstring>

namespace Lumo {

using namespace Platform;

namespace {

template <typename T>
void ReleaseAndNull(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

HRESULT AddTesterFormat(DDPIXELFORMAT* format, void* context)
{
    *static_cast<int*>(context) |= D3DInterface::GetTexturePixelType(*format);
    return D3DENUMRET_OK;
}

// The channel moved so that the mask's highest set bit lands on bit top.
uint32_t ChannelByMask(uint32_t pixel, uint32_t mask, int top)
{
    int high = 31;
    while (high > 0 && !((mask >> high) & 1))
        --high;
    const int shift = top - high;
    const uint32_t channel = pixel & mask;
    return shift >= 0 ? channel << shift : channel >> -shift;
}

constexpr uint32_t kTileSize = 64;

} // namespace

D3DTester::D3DTester(DisplayAppHost* app) : mApp(app) {}

D3DTester::~D3DTester()
{
    ReleaseAll();
}

void D3DTester::SetVidMemoryLimits(uint32_t minimum, uint32_t recommended)
{
    mMinVidMemory = minimum;
    mRecVidMemory = recommended;
}

bool D3DTester::SetFailure(const std::string& text)
{
    mFailureReason = text;
    return false;
}

bool D3DTester::SetWarning(const std::string& text)
{
    mWarning = text;
    return true;
}

void D3DTester::CheckHR(HRESULT result, const char* label)
{
    if (FAILED(result))
        throw TestException(std::string("DXError - ") + label + ": " + DirectXErrorName(result));
}

void D3DTester::ReleaseAll()
{
    ReleaseAndNull(mDirectDraw);
    ReleaseAndNull(mD3D);
    ReleaseAndNull(mDevice);
    ReleaseAndNull(mRenderTarget);
    ReleaseAndNull(mTexture1);
    ReleaseAndNull(mTexture2);
    if (mKey)
        RegCloseKey(mKey);
    mKey = nullptr;
}

void D3DTester::RunTest(HWND window, IDirectDraw7* directDraw)
{
    if (!mApp->IsPlayingBackDemo()) {
        mTestedNow = false;
        if (DoTest(window, directDraw)) {
            RunRenderTests();
        } else if (!mTestedNow) {
            uint32_t size = 0;
            mFirstTest = !mKey || RegQueryValueExA(mKey, "FailureReason", nullptr, nullptr, &size) != ERROR_SUCCESS;
            mTestedNow = true;
        }
        if (mTestedNow)
            WriteStoredResult();
        ReleaseAll();
    }
    mApp->SyncD3DTestResult(mFailureReason, mWarning, mFirstTest);
}

bool D3DTester::DoTest(HWND window, IDirectDraw7* directDraw)
{
    try {
        ReleaseAll();
        mDriverYear = 0;
        const std::string keyPath = "SOFTWARE\\" + mApp->GetRegistryKey() + "\\Test3D";
        if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), &mKey) != ERROR_SUCCESS)
            mKey = nullptr;

        if (!directDraw) {
            auto create =
                reinterpret_cast<DirectDrawCreateExProc>(GetProcAddress(mApp->GetDirectDrawModule(), "DirectDrawCreateEx"));
            if (!create)
                return SetFailure("No DirectDrawCreateEx");
            void* made = nullptr;
            CheckHR(create(nullptr, &made, IID_IDirectDraw7, nullptr), "DirectDrawCreateEx");
            mDirectDraw = static_cast<IDirectDraw7*>(made);
        } else {
            directDraw->AddRef();
            mDirectDraw = directDraw;
        }

        IdentifyAdapter();
        if (!MeasureVideoMemory())
            return false;
        if (ReadStoredResult())
            return false;
        mTestedNow = true;
        mFailureReason.clear();
        mWarning.clear();

        ReadDriverYear();
        if (!CheckCard(mDescription))
            SetWarning(FormatString("Unsupported video card: %s", mDescription.c_str()));

        void* queried = nullptr;
        CheckHR(mDirectDraw->QueryInterface(IID_IDirect3D7, &queried), "QueryInterface IID_IDirect3D7");
        mD3D = static_cast<IDirect3D7*>(queried);
        CheckHR(mDirectDraw->SetCooperativeLevel(window, DDSCL_NORMAL), "SetCooperativeLevel");

        DDSURFACEDESC2 targetDesc;
        targetDesc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        targetDesc.dwWidth = 100;
        targetDesc.dwHeight = 100;
        targetDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        CheckHR(mDirectDraw->CreateSurface(&targetDesc, &mRenderTarget, nullptr), "CreateSurface (Primary)");
        mResultImage.Create(100, 100);
        CheckHR(mD3D->CreateDevice(IID_IDirect3DHALDevice, mRenderTarget, &mDevice), "CreateDevice");

        int types = 0;
        CheckHR(mDevice->EnumTextureFormats(AddTesterFormat, &types), "EnumTextureFormats");
        if (!(types & kPixelTypeA8R8G8B8)) {
            SetWarning("A8R8G8B8 texture format not supported.");
            if (!(types & kPixelTypeA4R4G4B4))
                return SetFailure("A4R4G4B4 and A8R8G8B8 texture formats not supported.");
        }
        gTextures32 = (types & kPixelTypeA8R8G8B8) != 0;

        DDSURFACEDESC2 textureDesc;
        textureDesc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        textureDesc.dwWidth = kTileSize;
        textureDesc.dwHeight = kTileSize;
        textureDesc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        textureDesc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
        D3DInterface::FillTexturePixelFormat(&textureDesc.ddpfPixelFormat,
                                             gTextures32 ? kPixelTypeA8R8G8B8 : kPixelTypeA4R4G4B4);
        CheckHR(mDirectDraw->CreateSurface(&textureDesc, &mTexture1, nullptr), "CreateSurface (TextureSurface1)");
        CheckHR(mDirectDraw->CreateSurface(&textureDesc, &mTexture2, nullptr), "CreateSurface (TextureSurfacd2)");
        return true;
    } catch (const TestException& failure) {
        return SetFailure(failure.mMessage);
    }
}

bool D3DTester::RunRenderTests()
{
    return TestAlphaBlend() && TestAdditiveBlend() && TestAlphaAddBlend() && TestAlphaModulatedBlend() &&
           TestClipping();
}

void D3DTester::UploadTile(const D3DTestImage& image, int tileX, int tileY)
{
    DDSURFACEDESC2 desc;
    CheckHR(mTexture1->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), "Lock Texture");
    const int width = std::min<int>(kTileSize, image.mWidth - tileX);
    const int height = std::min<int>(kTileSize, image.mHeight - tileY);
    const int bytes = gTextures32 ? 4 : 2;
    auto* rows = static_cast<uint8_t*>(desc.lpSurface);
    if (width < int(kTileSize) || height < int(kTileSize))
        for (uint32_t y = 0; y < kTileSize; ++y)
            std::memset(rows + ptrdiff_t(y) * desc.lPitch, 0, kTileSize * size_t(bytes));
    for (int y = 0; y < height; ++y) {
        const uint32_t* from = &image.mPixels[size_t(tileY + y) * size_t(image.mWidth) + size_t(tileX)];
        uint8_t* to = rows + ptrdiff_t(y) * desc.lPitch;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = from[x];
            if (gTextures32) {
                std::memcpy(to + 4 * x, &p, 4);
            } else {
                const uint16_t nibbles = uint16_t((p >> 16 & 0xF000) | (p >> 12 & 0x0F00) | (p >> 8 & 0x00F0) |
                                                  (p >> 4 & 0x000F));
                std::memcpy(to + 2 * x, &nibbles, 2);
            }
        }
    }
    CheckHR(mTexture1->Unlock(nullptr), "Texture Unlock");
}

void D3DTester::DrawTile(int x, int y, uint32_t diffuse)
{
    CheckHR(mDevice->SetTexture(0, mTexture1), "SetTexture theTexture");
    auto vertex = [&](float vx, float vy, float u, float v) {
        D3DTLVERTEX out;
        out.sx = vx;
        out.sy = vy;
        out.color = diffuse;
        out.tu = u;
        out.tv = v;
        return out;
    };
    const float fx = float(x), fy = float(y);
    const D3DTLVERTEX strip[4] = {vertex(fx - 0.5f, fy - 0.5f, 0, 0), vertex(fx - 0.5f, fy + 63.5f, 0, 1),
                                  vertex(fx + 63.5f, fy - 0.5f, 1, 0), vertex(fx + 63.5f, fy + 63.5f, 1, 1)};
    CheckHR(mDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, D3DDP_WAIT), "DrawPrimitive");
    CheckHR(mDevice->SetTexture(0, nullptr), "SetTexture NULL");
}

void D3DTester::DrawImage(const D3DTestImage& image, int x, int y, uint32_t diffuse)
{
    for (int tileY = 0; tileY < image.mHeight; tileY += int(kTileSize))
        for (int tileX = 0; tileX < image.mWidth; tileX += int(kTileSize)) {
            UploadTile(image, tileX, tileY);
            DrawTile(x + tileX, y + tileY, diffuse);
        }
}

void D3DTester::CopyRenderTarget()
{
    DDSURFACEDESC2 desc;
    CheckHR(mRenderTarget->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), "CopyPrimary Lock");
    const uint32_t bits = desc.ddpfPixelFormat.dwRGBBitCount;
    if (bits != 16 && bits != 32) {
        mRenderTarget->Unlock(nullptr);
        throw TestException(bits == 24 ? "Can't test 24-bit mode." : "Invalid Color Depth");
    }
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    const auto* rows = static_cast<const uint8_t*>(desc.lpSurface);
    const int width = std::min<int>(mResultImage.mWidth, int(desc.dwWidth));
    const int height = std::min<int>(mResultImage.mHeight, int(desc.dwHeight));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, rows + ptrdiff_t(y) * desc.lPitch + ptrdiff_t(x) * (bits / 8), bits / 8);
            mResultImage.mPixels[size_t(y) * size_t(mResultImage.mWidth) + size_t(x)] =
                ChannelByMask(pixel, format.dwRBitMask, 23) | ChannelByMask(pixel, format.dwGBitMask, 15) |
                ChannelByMask(pixel, format.dwBBitMask, 7) | 0xFF000000;
        }
    }
    mRenderTarget->Unlock(nullptr);
}

D3DTester::Sample D3DTester::CheckSample(uint32_t expected) const
{
    Sample sample{0, true};
    const uint32_t first = mResultImage.mPixels[0];
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const uint32_t pixel = mResultImage.mPixels[size_t(y) * size_t(mResultImage.mWidth) + size_t(x)];
            int distance = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = int((pixel >> shift) & 0xFF) - int((expected >> shift) & 0xFF);
                distance += d * d;
            }
            if (distance > 768)
                ++sample.mErrors;
            if (pixel != first)
                sample.mUniform = false;
        }
    }
    return sample;
}

int D3DTester::CountPatternErrors() const
{
    int errors = 0;
    for (int y = 0; y < 62; ++y) {
        for (int x = 0; x < 62; ++x) {
            const uint32_t pixel = mResultImage.mPixels[size_t(y) * size_t(mResultImage.mWidth) + size_t(x)];
            const uint32_t expected = (x & 1) ? 0xFFFFFF : 0x000000;
            int distance = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = int((pixel >> shift) & 0xFF) - int((expected >> shift) & 0xFF);
                distance += d * d;
            }
            if (distance > 768)
                ++errors;
        }
    }
    return errors;
}

void D3DTester::SetRenderState(uint32_t state, uint32_t value, const char* label)
{
    CheckHR(mDevice->SetRenderState(state, value), label);
}

template <typename Draw>
void D3DTester::RunScene(uint32_t sourceBlend, const char* sourceLabel, uint32_t destBlend, const char* destLabel,
                         bool modulateAlpha, Draw&& draw)
{
    CheckHR(mDevice->BeginScene(), "");
    try {
        CheckHR(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), "Clear");
        SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1, "D3DRENDERSTATE_ALPHABLENDENABLE, TRUE");
        SetRenderState(D3DRENDERSTATE_SRCBLEND, sourceBlend, sourceLabel);
        SetRenderState(D3DRENDERSTATE_DESTBLEND, destBlend, destLabel);
        SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE, "D3DRENDERSTATE_CULLMODE, D3DCULL_NONE");
        if (modulateAlpha)
            CheckHR(mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE),
                    "D3DTSS_ALPHAOP, D3DTOP_MODULATE");
        draw();
    } catch (const TestException&) {
        mDevice->EndScene();
        throw;
    }
    mDevice->EndScene();
    CopyRenderTarget();
}

bool D3DTester::BlendTest(uint32_t sourceBlend, const char* sourceLabel, uint32_t destBlend, const char* destLabel,
                          bool modulateAlpha, uint32_t first, uint32_t second, uint32_t secondDiffuse,
                          uint32_t expected, const char* failure, const char* warning)
{
    try {
        D3DTestImage firstImage;
        firstImage.Create(64, 64);
        firstImage.FillRect(0, 64, 64, first);
        D3DTestImage secondImage;
        secondImage.Create(64, 64);
        secondImage.FillRect(0, 64, 64, second);
        RunScene(sourceBlend, sourceLabel, destBlend, destLabel, modulateAlpha, [&] {
            DrawImage(firstImage, 0, 0, 0xFFFFFFFF);
            DrawImage(secondImage, 0, 0, secondDiffuse);
        });
    } catch (const TestException& failed) {
        return SetFailure(failed.mMessage);
    }
    const Sample sample = CheckSample(expected);
    if (sample.mErrors > 0)
        return SetFailure(failure);
    if (!sample.mUniform)
        return SetWarning(warning);
    return true;
}

bool D3DTester::TestAlphaBlend()
{
    return BlendTest(D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_INVSRCALPHA,
                     "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA", false, 0xFF0000FF, 0x80FF0000, 0xFFFFFFFF,
                     0x7F007F, "Alpha blend Not Supported", "Alpha blend test not uniform.");
}

bool D3DTester::TestAdditiveBlend()
{
    return BlendTest(D3DBLEND_ONE, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE", D3DBLEND_ONE,
                     "D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE", false, 0xFF404040, 0xFF404040, 0xFFFFFFFF, 0x808080,
                     "Additive blend not supported.", "Additive blend test not uniform.");
}

bool D3DTester::TestAlphaAddBlend()
{
    return BlendTest(D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_ONE,
                     "D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE", false, 0xFF404040, 0x80808080, 0xFFFFFFFF, 0x808080,
                     "AlphaAdd blend not supported.", "AlphaAdd blend test not uniform.");
}

bool D3DTester::TestAlphaModulatedBlend()
{
    return BlendTest(D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_INVSRCALPHA,
                     "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA", true, 0xFF0000FF, 0xFFFF0000, 0x80FFFFFF,
                     0x7F007F, "AlphaModulated blend not supported.", "AlphaModulated blend test not uniform.");
}

bool D3DTester::TestClipping()
{
    try {
        D3DTestImage stripes;
        stripes.Create(64, 64);
        stripes.FillStripes();
        RunScene(D3DBLEND_SRCALPHA, "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA", D3DBLEND_INVSRCALPHA,
                 "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA", false,
                 [&] { DrawImage(stripes, -2, -2, 0xFFFFFFFF); });
    } catch (const TestException& failed) {
        return SetFailure(failed.mMessage);
    }
    if (CountPatternErrors() > 0)
        return SetWarning("Clip problem detected.");
    return true;
}

} // namespace Lumo
