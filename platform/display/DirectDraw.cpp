#include "platform/display/DirectDraw.h"

#include "platform/display/Direct3D.h"
#include "platform/display/Direct3D8.h"
#include "platform/display/DirectDrawClipper.h"
#include "platform/display/DirectDrawPalette.h"
#include "platform/display/DirectDrawSurface.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/process/Log.h"
#include "platform/process/Modules.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowConstants.h"

#include <algorithm>

namespace Platform {

HRESULT DirectDraw::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("QueryInterface"))
        return fault;
    if (iid == IID_IDirect3D7) {
        *out = new Direct3D();
        return DD_OK;
    }
    if (iid != IID_IDirectDraw && iid != IID_IDirectDraw7)
        return E_NOINTERFACE;
    AddRef();
    *out = this;
    return DD_OK;
}

HRESULT DirectDraw::SetCooperativeLevel(HWND window, uint32_t flags)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetCooperativeLevel"))
        return fault;
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    if (exclusive && !((flags & DDSCL_FULLSCREEN) && IsWindow(window)))
        return DDERR_INVALIDPARAMS;
    // The screen is the desktop's to give: what is drawn for it and where the
    // pointer lands only agree when the window really covers it.
    if (exclusive) {
        const std::string refusal = FullScreenRefusal(window);
        if (!refusal.empty()) {
            LogLine("Full screen refused: " + refusal);
            return DDERR_EXCLUSIVEMODEALREADYSET;
        }
    }
    mWindow = window;
    mExclusive = exclusive;
    if (!exclusive)
        mModeWidth = mModeHeight = mModeBits = 0;
    return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetDisplayMode"))
        return fault;
    if (!mExclusive)
        return DDERR_NOEXCLUSIVEMODE;
    if (width == 0 || height == 0 || (bitsPerPixel != 16 && bitsPerPixel != 32))
        return DDERR_INVALIDMODE;
    mModeWidth = width;
    mModeHeight = height;
    mModeBits = bitsPerPixel;
    return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode()
{
    mModeWidth = mModeHeight = mModeBits = 0;
    return DD_OK;
}

DDPIXELFORMAT DirectDraw::DisplayFormat() const
{
    const DesktopFormat desktop = DisplayDesktop::Format();
    DDPIXELFORMAT format;
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = desktop.bitsPerPixel;
    format.dwRBitMask = desktop.redMask;
    format.dwGBitMask = desktop.greenMask;
    format.dwBBitMask = desktop.blueMask;
    return format;
}

HRESULT DirectDraw::MakeSurface(uint32_t flags, uint32_t width, uint32_t height, const DDPIXELFORMAT& format,
                                uint32_t caps, uint32_t backBuffers, DirectDrawSurface** surface)
{
    if (!surface)
        return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("CreateSurface"))
        return fault;
    if (!(flags & DDSD_CAPS))
        return DDERR_INVALIDCAPS;
    DirectDrawSurface::Shape shape;
    shape.caps = caps;
    shape.pitchPadding = DisplayDesktop::Format().pitchPadding;
    shape.format = (flags & DDSD_PIXELFORMAT) ? format : DisplayFormat();
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        const bool mode = mExclusive && mModeBits != 0;
        shape.width = mode ? int32_t(mModeWidth) : GetSystemMetrics(SM_CXSCREEN);
        shape.height = mode ? int32_t(mModeHeight) : GetSystemMetrics(SM_CYSCREEN);
        shape.fullScreenWindow = mExclusive ? mWindow : nullptr;
    } else {
        if (!(flags & DDSD_WIDTH) || !(flags & DDSD_HEIGHT) || width == 0 || height == 0)
            return DDERR_INVALIDPARAMS;
        if (width > 16384 || height > 16384)
            return DDERR_TOOBIGSIZE;
        shape.width = int32_t(width);
        shape.height = int32_t(height);
    }
    const uint32_t bits = shape.format.dwRGBBitCount;
    if (bits == 0 || bits > 32 || bits % 8 != 0)
        return DDERR_INVALIDPIXELFORMAT;
    const bool flipChain = (caps & DDSCAPS_FLIP) && (flags & DDSD_BACKBUFFERCOUNT) && backBuffers > 0;
    if ((caps & DDSCAPS_FLIP) && !flipChain)
        return DDERR_INVALIDCAPS;

    auto* made = new DirectDrawSurface(shape);
    if (flipChain) {
        DirectDrawSurface::Shape back = shape;
        back.caps = (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER)) | DDSCAPS_BACKBUFFER;
        back.fullScreenWindow = nullptr;
        made->AttachBackBuffer(new DirectDrawSurface(back));
    }
    *surface = made;
    return DD_OK;
}

HRESULT DirectDraw::CreateSurface(DDSURFACEDESC* desc, DirectDrawSurface** surface, void*)
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    return MakeSurface(desc->dwFlags, desc->dwWidth, desc->dwHeight, desc->ddpfPixelFormat, desc->ddsCaps.dwCaps,
                       desc->dwBackBufferCount, surface);
}

HRESULT DirectDraw::CreateSurface(DDSURFACEDESC2* desc, DirectDrawSurface** surface, void*)
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    return MakeSurface(desc->dwFlags, desc->dwWidth, desc->dwHeight, desc->ddpfPixelFormat, desc->ddsCaps.dwCaps,
                       desc->dwBackBufferCount, surface);
}

HRESULT DirectDraw::CreateClipper(uint32_t, DirectDrawClipper** clipper, void*)
{
    if (!clipper)
        return DDERR_INVALIDPARAMS;
    *clipper = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("CreateClipper"))
        return fault;
    *clipper = new DirectDrawClipper();
    return DD_OK;
}

HRESULT DirectDraw::CreatePalette(uint32_t, const DDPALETTEENTRY* entries, DirectDrawPalette** palette, void*)
{
    if (!palette)
        return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("CreatePalette"))
        return fault;
    *palette = new DirectDrawPalette(entries);
    return DD_OK;
}

HRESULT DirectDraw::GetMonitorFrequency(uint32_t* hertz)
{
    if (!hertz)
        return DDERR_INVALIDPARAMS;
    if (HRESULT fault = DisplayDesktop::Fault("GetMonitorFrequency"))
        return fault;
    const uint32_t rate = DisplayDesktop::Format().refreshRate;
    if (rate == 0)
        return DDERR_UNSUPPORTED;
    *hertz = rate;
    return DD_OK;
}

HRESULT DirectDraw::GetAvailableVidMem(const DDSCAPS2*, uint32_t* total, uint32_t* free)
{
    const uint32_t bytes = DisplayDesktop::Format().videoMemoryBytes;
    if (total)
        *total = bytes;
    if (free)
        *free = bytes;
    return DD_OK;
}

HRESULT DirectDraw::GetDeviceIdentifier(DDDEVICEIDENTIFIER2* identifier, uint32_t)
{
    if (!identifier)
        return DDERR_INVALIDPARAMS;
    if (HRESULT fault = DisplayDesktop::Fault("GetDeviceIdentifier"))
        return fault;
    *identifier = DDDEVICEIDENTIFIER2{};
    DisplayDesktop::Format().CopyAdapterIdentity(identifier->szDriver, identifier->szDescription,
                                                 identifier->guidDeviceIdentifier);
    return DD_OK;
}

HRESULT DirectDraw::FlipToGDISurface()
{
    return DisplayDesktop::Fault("FlipToGDISurface");
}

HRESULT DirectDrawCreate(const void*, DirectDraw** directDraw, void*)
{
    if (!directDraw)
        return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("DirectDrawCreate"))
        return fault;
    *directDraw = new DirectDraw();
    return DD_OK;
}

HRESULT DirectDrawCreateEx(const void*, void** directDraw, REFIID iid, void*)
{
    if (!directDraw)
        return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("DirectDrawCreateEx"))
        return fault;
    if (iid != IID_IDirectDraw7)
        return E_NOINTERFACE;
    *directDraw = new DirectDraw();
    return DD_OK;
}

void RegisterDirectDrawModule()
{
    RegisterModule("ddraw.dll", {{"DirectDrawCreate", reinterpret_cast<FARPROC>(&DirectDrawCreate)},
                                 {"DirectDrawCreateEx", reinterpret_cast<FARPROC>(&DirectDrawCreateEx)}});
    RegisterModule("d3d8.dll", {{"Direct3DCreate8", reinterpret_cast<FARPROC>(&Direct3DCreate8)}});
}

} // namespace Platform
