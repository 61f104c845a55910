#include "framework/display/DDInterface.h"

#include "framework/core/DebugPrintf.h"
#include "framework/display/DDImage.h"
#include "framework/display/DirectXErrorName.h"
#include "framework/display/DisplayAppHost.h"
#include "platform/display/DirectDrawClipper.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowConstants.h"

#include <cstring>
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

// Position of the lowest set bit and the number of bits up to the highest.
void ChannelOf(uint32_t mask, uint32_t* shift, uint32_t* bits)
{
    *shift = 0;
    *bits = 0;
    if (mask == 0)
        return;
    while (!((mask >> *shift) & 1))
        ++*shift;
    uint32_t high = 31;
    while (!((mask >> high) & 1))
        --high;
    *bits = high - *shift + 1;
}

std::unique_ptr<uint32_t[]> SaturationTable(uint32_t bits)
{
    const uint32_t maximum = (1u << bits) - 1;
    auto table = std::make_unique<uint32_t[]>(2 * maximum + 1);
    for (uint32_t i = 0; i <= 2 * maximum; ++i)
        table[i] = i < maximum ? i : maximum;
    return table;
}

void FillConversionTable(uint32_t* table, uint32_t mask)
{
    for (uint32_t i = 0; i < 256; ++i)
        table[i] = ((i * mask) / 255) & mask;
}

} // namespace

DDInterface::DDInterface(DisplayAppHost* app) : mApp(app), mD3DInterface(std::make_unique<D3DInterface>(app))
{
    HMODULE module = mApp->GetDirectDrawModule();
    mDirectDrawCreate = reinterpret_cast<DirectDrawCreateProc>(GetProcAddress(module, "DirectDrawCreate"));
    mDirectDrawCreateEx = reinterpret_cast<DirectDrawCreateExProc>(GetProcAddress(module, "DirectDrawCreateEx"));
}

DDInterface::~DDInterface()
{
    Cleanup();
    Hold hold(mDisplayLock);
    mSurfaceImageSet.clear();
}

bool DDInterface::IsWider(const Fraction& a, const Fraction& b)
{
    if (b.mNumerator * a.mDenominator / b.mDenominator < a.mNumerator)
        return true;
    return b.mNumerator < a.mNumerator * b.mDenominator / a.mDenominator;
}

int DDInterface::Init(HWND window, bool windowed)
{
    Hold hold(mDisplayLock);
    mInitialized = false;
    Cleanup();

    // Without an entry point the library offers no display at all.
    HRESULT created = DDERR_NODIRECTDRAWHW;
    if (mDirectDrawCreateEx) {
        void* directDraw = nullptr;
        if (CheckResult(mDirectDrawCreateEx(nullptr, &directDraw, IID_IDirectDraw7, nullptr), "DirectDrawCreateEx"))
            return RESULT_DD_CREATE_FAIL;
        mDD7 = static_cast<IDirectDraw7*>(directDraw);
        created = mDD7->QueryInterface(IID_IDirectDraw, &directDraw);
        if (CheckResult(created, "QueryrInterface IID_IDirectDraw"))
            return RESULT_DD_CREATE_FAIL;
        mDD = static_cast<IDirectDraw*>(directDraw);
    } else if (mDirectDrawCreate) {
        created = mDirectDrawCreate(nullptr, &mDD, nullptr);
    }

    bool newResults = false;
    if (RunD3DTest(window, &newResults) && newResults)
        mApp->NewD3DTestResult();

    mHWnd = window;
    mWidth = mApp->mWidth;
    mHeight = mApp->mHeight;
    mAspect.Set(mWidth, mHeight);
    mDesktopWidth = GetSystemMetrics(SM_CXSCREEN);
    mDesktopHeight = GetSystemMetrics(SM_CYSCREEN);
    mDesktopAspect.Set(mDesktopWidth, mDesktopHeight);
    mDisplayWidth = mWidth;
    mDisplayHeight = mHeight;
    mDisplayAspect = mAspect;
    mPresentRect = Rect{0, 0, mWidth, mHeight};
    mApp->mScreenRect = mPresentRect;
    mFullScreenDepth = mApp->mFullScreenDepth;
    mIsWindowed = windowed;
    mAspectCorrected = false;
    mCursorAreaSaved = false;

    DebugPrintf("Application requests %4u x %4u [%2d:%2d]\n", unsigned(mWidth), unsigned(mHeight),
                mAspect.mNumerator, mAspect.mDenominator);
    if (CheckResult(created, "DirectDrawCreate"))
        return RESULT_DD_CREATE_FAIL;

    const uint32_t drawCaps = mIs3D ? DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY | DDSCAPS_3DDEVICE
                                    : DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    DDSURFACEDESC2 drawDesc;
    drawDesc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    drawDesc.ddsCaps.dwCaps = drawCaps;

    if (windowed) {
        DebugPrintf("Hack aspect is                   [%2d:%2d]\n", mApp->mWindowAspect.mNumerator,
                    mApp->mWindowAspect.mDenominator);
        if (mApp->mUseWindowAspect && IsWider(mApp->mWindowAspect, mAspect))
            ResizeWindowForAspect();
        DebugPrintf("Window is            %4u x %4u [%2d:%2d]\n", unsigned(mDisplayWidth), unsigned(mDisplayHeight),
                    mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);
        mDD->SetCooperativeLevel(window, DDSCL_NORMAL);

        DDSURFACEDESC2 primary;
        primary.dwFlags = DDSD_CAPS;
        primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | (mIs3D ? DDSCAPS_3DDEVICE : 0);
        HRESULT result = CreateSurface(&primary, &mPrimarySurface);
        if (result == DDERR_INVALIDPIXELFORMAT)
            return RESULT_INVALID_COLORDEPTH;
        if (CheckResult(result, "CreateSurface Windowed Primary"))
            return RESULT_SURFACE_FAIL;
        drawDesc.dwWidth = uint32_t(mWidth);
        drawDesc.dwHeight = uint32_t(mHeight);
        if (CheckResult(CreateSurface(&drawDesc, &mDrawSurface), "CreateSurface Windowed DrawSurface"))
            return RESULT_SURFACE_FAIL;
        DirectDrawClipper* clipper = nullptr;
        if (CheckResult(mDD->CreateClipper(0, &clipper, nullptr), "CreateClipper Windowed"))
            return RESULT_FAIL;
        if (SUCCEEDED(clipper->SetHWnd(0, window)))
            mPrimarySurface->SetClipper(clipper);
        clipper->Release();
    } else {
        DebugPrintf("Desktop is           %4u x %4u [%2d:%2d]\n", unsigned(mDesktopWidth), unsigned(mDesktopHeight),
                    mDesktopAspect.mNumerator, mDesktopAspect.mDenominator);
        if (mIs3D && IsWider(mDesktopAspect, mAspect)) {
            mAspectCorrected = true;
            mDisplayWidth = mDesktopWidth;
            mDisplayHeight = mDesktopHeight;
            mDisplayAspect = mDesktopAspect;
            if (mApp->mFillAspect) {
                mAspect = mDesktopAspect;
                mWidth = mDesktopAspect.mNumerator * mHeight / mDesktopAspect.mDenominator;
                mPresentRect = Rect{0, 0, mDesktopWidth, mDesktopHeight};
            } else {
                const int width = mWidth * mDesktopHeight / mHeight;
                mPresentRect = Rect{(mDesktopWidth - width) / 2, 0, width, mDesktopHeight};
            }
        }
        DebugPrintf("Display is           %4u x %4u [%2d:%2d]\n", unsigned(mDisplayWidth), unsigned(mDisplayHeight),
                    mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);
        if (CheckResult(mDD->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                        "SetCooperativeLevel FullScreen"))
            return RESULT_EXCLUSIVE_FAIL;
        if (CheckResult(mDD->SetDisplayMode(uint32_t(mDisplayWidth), uint32_t(mDisplayHeight),
                                            uint32_t(mFullScreenDepth)),
                        "SetDisplayMode FullScreen"))
            return RESULT_DISPCHANGE_FAIL;
        DDSURFACEDESC2 primary;
        primary.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        primary.dwBackBufferCount = 1;
        primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                                 (mIs3D ? DDSCAPS_3DDEVICE : 0);
        if (CheckResult(CreateSurface(&primary, &mPrimarySurface), "CreateSurface FullScreen Primary"))
            return RESULT_SURFACE_FAIL;
        DDSCAPS backCaps;
        backCaps.dwCaps = DDSCAPS_BACKBUFFER;
        if (CheckResult(mPrimarySurface->GetAttachedSurface(&backCaps, &mSecondSurface), "GetAttachedSurface"))
            return RESULT_SURFACE_FAIL;
        if (mAspectCorrected) {
            ClearSurface(mPrimarySurface);
            ClearSurface(mSecondSurface);
        }
        drawDesc.dwWidth = uint32_t(mWidth);
        drawDesc.dwHeight = uint32_t(mHeight);
        if (CheckResult(CreateSurface(&drawDesc, &mDrawSurface), "CreateSurface FullScreen DrawSurface"))
            return RESULT_SURFACE_FAIL;
        DirectDrawClipper* clipper = nullptr;
        if (CheckResult(mDD->CreateClipper(0, &clipper, nullptr), "CreateClipper FullScreen"))
            return RESULT_FAIL;
        if (SUCCEEDED(clipper->SetHWnd(0, window)))
            mPrimarySurface->SetClipper(clipper);
        clipper->Release();
        if (!mApp->mPageFlip)
            mDD->FlipToGDISurface();
    }
    DebugPrintf("Draw buffer is       %4u x %4u [%2d:%2d]\n", unsigned(mWidth), unsigned(mHeight),
                mAspect.mNumerator, mAspect.mDenominator);

    uint32_t hertz = 0;
    if (FAILED(mDD->GetMonitorFrequency(&hertz)) || hertz < 60) {
        mRefreshRate = 60;
        mApp->mRefreshRateUnusable = true;
    } else if (hertz > 100) {
        mRefreshRate = 100;
        mApp->mRefreshRateUnusable = true;
    } else {
        mRefreshRate = int(hertz);
    }
    mFrameMilliseconds = int(1000u / uint32_t(mRefreshRate));

    CreateCursorAreas();
    SetCursorScale(-1, -1);

    if (mPrimarySurface) {
        DDSURFACEDESC desc;
        mPrimarySurface->GetSurfaceDesc(&desc);
        const uint32_t bits = desc.ddpfPixelFormat.dwRGBBitCount;
        if (bits != 16 && bits != 32)
            return RESULT_INVALID_COLORDEPTH;
        ReadPixelFormat(desc);
    }
    SetDrawInVideoMemory(mDrawInVideoMemory);

    if (mIs3D && !mD3DInterface->InitFromDDInterface(this)) {
        mErrorText = "3D init error: " + D3DInterface::gD3DErrorText;
        return RESULT_3D_FAIL;
    }
    ++mInitCalls;
    mInitialized = true;
    return RESULT_OK;
}

// Widens the window about its centre so the client area shows the window
// aspect, keeping its frame.
void DDInterface::ResizeWindowForAspect()
{
    const Fraction& aspect = mApp->mWindowAspect;
    mAspectCorrected = true;
    mDisplayWidth = aspect.mNumerator * mHeight / aspect.mDenominator;
    mDisplayHeight = mHeight;
    mDisplayAspect = aspect;

    RECT outer;
    RECT client;
    POINT origin;
    GetWindowRect(mHWnd, &outer);
    GetClientRect(mHWnd, &client);
    ClientToScreen(mHWnd, &origin);
    const int32_t left = origin.x - (mDisplayWidth - mWidth) / 2;
    const int32_t top = origin.y - (mDisplayHeight - mHeight) / 2;
    const int32_t frameLeft = origin.x - outer.left, frameTop = origin.y - outer.top;
    const int32_t frameRight = outer.right - (origin.x + client.right);
    const int32_t frameBottom = outer.bottom - (origin.y + client.bottom);
    const int32_t x = left - frameLeft, y = top - frameTop;
    MoveWindow(mHWnd, x < 0 ? 0 : x, y < 0 ? 0 : y, frameLeft + mDisplayWidth + frameRight,
               frameTop + mDisplayHeight + frameBottom, false);

    if (mApp->mFillAspect) {
        mWidth = mDisplayWidth;
        mHeight = mDisplayHeight;
        mAspect = mDisplayAspect;
        mPresentRect = Rect{0, 0, mDisplayWidth, mDisplayHeight};
    } else {
        mPresentRect = Rect{(mDisplayWidth - mWidth) / 2, 0, mWidth, mHeight};
    }
}

void DDInterface::ReadPixelFormat(const DDSURFACEDESC& desc)
{
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    mBitsPerPixel = format.dwRGBBitCount;
    mRedMask = format.dwRBitMask;
    mGreenMask = format.dwGBitMask;
    mBlueMask = format.dwBBitMask;
    ChannelOf(mRedMask, &mRedShift, &mRedBits);
    ChannelOf(mGreenMask, &mGreenShift, &mGreenBits);
    ChannelOf(mBlueMask, &mBlueShift, &mBlueBits);
    mRedSaturationTable = SaturationTable(mRedBits);
    mGreenSaturationTable = SaturationTable(mGreenBits);
    mBlueSaturationTable = SaturationTable(mBlueBits);
    FillConversionTable(mRedConversionTable, mRedMask);
    FillConversionTable(mGreenConversionTable, mGreenMask);
    FillConversionTable(mBlueConversionTable, mBlueMask);
}

bool DDInterface::RunD3DTest(HWND window, bool* newResults)
{
    if (mD3DTester || !(mApp->mUse3D || mApp->mTest3D || mApp->mForce3D))
        return false;
    mD3DTester = std::make_unique<D3DTester>(mApp);
    mD3DTester->SetVidMemoryLimits(uint32_t(mApp->mMinVidMemory), uint32_t(mApp->mRecVidMemory));
    mD3DTester->RunTest(window, mDD7);
    const bool failed = !mD3DTester->GetFailureReason().empty();
    const bool warned = !mD3DTester->GetWarning().empty();
    if (mApp->mForce3D) {
        mIs3D = !failed;
    } else {
        if (mApp->mUse3D && !failed && !warned)
            mIs3D = true;
        if (failed || (mD3DTester->IsFirstTest() && warned))
            mIs3D = false;
    }
    *newResults = mD3DTester->IsFirstTest();
    return true;
}

HRESULT DDInterface::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface** surface)
{
    Hold hold(mDisplayLock);
    HRESULT result;
    if (mDD7) {
        IDirectDrawSurface7* surface7 = nullptr;
        result = mDD7->CreateSurface(desc, &surface7, nullptr);
        if (FAILED(result))
            return result;
        void* queried = nullptr;
        result = surface7->QueryInterface(IID_IDirectDrawSurface, &queried);
        surface7->Release();
        if (FAILED(result))
            return result;
        *surface = static_cast<IDirectDrawSurface*>(queried);
    } else {
        DDSURFACEDESC plain;
        plain.dwFlags = desc->dwFlags;
        plain.dwHeight = desc->dwHeight;
        plain.dwWidth = desc->dwWidth;
        plain.lPitch = desc->lPitch;
        plain.dwBackBufferCount = desc->dwBackBufferCount;
        plain.dwRefreshRate = desc->dwRefreshRate;
        plain.dwAlphaBitDepth = desc->dwAlphaBitDepth;
        plain.dwReserved = desc->dwReserved;
        plain.lpSurface = desc->lpSurface;
        plain.ddpfPixelFormat = desc->ddpfPixelFormat;
        plain.ddsCaps.dwCaps = desc->ddsCaps.dwCaps;
        result = mDD->CreateSurface(&plain, surface, nullptr);
    }
    IDirectDrawSurface* primary = mPrimarySurface ? mPrimarySurface : *surface;
    if (!primary)
        return result;
    DDSURFACEDESC primaryDesc;
    primary->GetSurfaceDesc(&primaryDesc);
    const DDPIXELFORMAT& format = primaryDesc.ddpfPixelFormat;
    gChannelOrderFlag = format.dwBBitMask < format.dwGBitMask && format.dwGBitMask < format.dwRBitMask;
    if (format.dwRGBBitCount != 16 && format.dwRGBBitCount != 32) {
        ReleaseAndNull(*surface);
        return DDERR_INVALIDPIXELFORMAT;
    }
    return result;
}

void DDInterface::ClearSurface(IDirectDrawSurface* surface)
{
    DDSURFACEDESC desc;
    if (!surface || FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr)))
        return;
    auto* row = static_cast<uint8_t*>(desc.lpSurface);
    for (uint32_t y = 0; y < desc.dwHeight; ++y, row += desc.lPitch)
        std::memset(row, 0, size_t(desc.dwWidth) * (desc.ddpfPixelFormat.dwRGBBitCount / 8));
    surface->Unlock(nullptr);
}

void DDInterface::CreateCursorAreas()
{
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = uint32_t(mCursorAreaWidth);
    desc.dwHeight = uint32_t(mCursorAreaHeight);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (!CheckResult(CreateSurface(&desc, &mOldCursorArea), "CreateSurface OldCursorArea") &&
        !CheckResult(CreateSurface(&desc, &mNewCursorArea), "CreateSurface NewCursorArea"))
        CheckResult(CreateSurface(&desc, &mScaledCursorArea), "CreateSurface mScaledCursorArea");

    // An area whose surface could not be made keeps an image without one.
    auto makeImage = [this](IDirectDrawSurface* surface) {
        auto* image = new DDImage(this);
        if (surface)
            image->AttachSurface(surface);
        image->SetAlphaFlags(false, false);
        return image;
    };
    mScaledCursorAreaImage = makeImage(mScaledCursorArea);
    mOldCursorAreaImage = makeImage(mOldCursorArea);
    mNewCursorAreaImage = makeImage(mNewCursorArea);
}

void DDInterface::ReleaseCursorAreas()
{
    delete mOldCursorAreaImage;
    mOldCursorAreaImage = nullptr;
    delete mScaledCursorAreaImage;
    mScaledCursorAreaImage = nullptr;
    ReleaseAndNull(mScaledCursorArea);
    delete mNewCursorAreaImage;
    mNewCursorAreaImage = nullptr;
    ReleaseAndNull(mOldCursorArea);
    ReleaseAndNull(mNewCursorArea);
}

void DDInterface::SetDrawInVideoMemory(bool on)
{
    Hold hold(mDisplayLock);
    mDrawInVideoMemory = on;
    if (!mSecondSurface) {
        DDSURFACEDESC2 desc;
        desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
        desc.dwWidth = uint32_t(mWidth);
        desc.dwHeight = uint32_t(mHeight);
        desc.ddsCaps.dwCaps = DDSCAPS_VIDEOMEMORY;
        if (FAILED(CreateSurface(&desc, &mSecondSurface)))
            mDrawInVideoMemory = false;
    }
    delete mScreenImage;
    mScreenImage = new DDImage(this);
    IDirectDrawSurface* adopted = mDrawInVideoMemory ? mSecondSurface : mDrawSurface;
    if (adopted)
        mScreenImage->AttachSurface(adopted);
    mScreenImage->mNoSoftwareDraw = mDrawInVideoMemory;
    mScreenImage->mInVideoMemory = mDrawInVideoMemory;
    mScreenImage->SetAlphaFlags(false, false);
}

void DDInterface::Cleanup()
{
    Hold hold(mDisplayLock);
    mInitialized = false;
    mD3DInterface->Cleanup();
    ReleaseCursorAreas();
    delete mScreenImage;
    mScreenImage = nullptr;
    ReleaseAndNull(mDrawSurface);
    ReleaseAndNull(mSecondSurface);
    ReleaseAndNull(mPrimarySurface);
    if (mDD) {
        mDD->SetCooperativeLevel(mHWnd, DDSCL_NORMAL);
        ReleaseAndNull(mDD);
    }
    ReleaseAndNull(mDD7);
}

void DDInterface::AddImage(DDImage* image)
{
    Hold hold(mDisplayLock);
    mSurfaceImageSet.insert(image);
}

void DDInterface::RemoveImage(DDImage* image)
{
    Hold hold(mDisplayLock);
    mSurfaceImageSet.erase(image);
}

void DDInterface::RemoveImageTextures(MemoryImage* image)
{
    mD3DInterface->RemoveImageTexture(image);
}

bool DDInterface::CheckResult(HRESULT result, const char* step)
{
    if (SUCCEEDED(result))
        return false;
    mErrorText = std::string(step) + ": " + DirectXErrorName(result);
    return true;
}

std::string DDInterface::GetResultName(int result)
{
    static const char* const kNames[] = {"RESULT_OK", "RESULT_FAIL", "RESULT_DD_CREATE_FAIL", "RESULT_SURFACE_FAIL",
                                         "RESULT_EXCLUSIVE_FAIL", "RESULT_DISPCHANGE_FAIL",
                                         "RESULT_INVALID_COLORDEPTH"};
    if (result < 0 || result > RESULT_INVALID_COLORDEPTH)
        return "RESULT_UNKNOWN";
    return kNames[result];
}

} // namespace Lumo
