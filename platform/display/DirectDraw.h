#pragma once

#include "platform/display/Direct3DTypes.h"
#include "platform/display/DirectDrawObject.h"
#include "platform/display/DirectDrawTypes.h"
#include "platform/display/DirectXResults.h"
#include "platform/windows/WindowTypes.h"

namespace Platform {

class DirectDrawClipper;
class DirectDrawPalette;
class DirectDrawSurface;

// The display device. One object serves both interface versions. A display
// mode is emulated: the primary takes the mode's size, scaled to the screen
// when shown. The desktop's depth stays: a frame drawn at a lower one would
// only show the colours it lost, and one drawn deeper could not show more.
class DirectDraw final : public DirectDrawObject {
public:
    // IID_IDirect3D7 gives a new Direct3D object.
    HRESULT QueryInterface(REFIID iid, void** out);
    HRESULT SetCooperativeLevel(HWND window, uint32_t flags);
    HRESULT SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel);
    HRESULT RestoreDisplayMode();
    HRESULT CreateSurface(DDSURFACEDESC* desc, DirectDrawSurface** surface, void* outer);
    HRESULT CreateSurface(DDSURFACEDESC2* desc, DirectDrawSurface** surface, void* outer);
    HRESULT CreateClipper(uint32_t flags, DirectDrawClipper** clipper, void* outer);
    HRESULT CreatePalette(uint32_t flags, const DDPALETTEENTRY* entries, DirectDrawPalette** palette, void* outer);
    HRESULT GetMonitorFrequency(uint32_t* hertz);
    HRESULT GetAvailableVidMem(const DDSCAPS2* caps, uint32_t* total, uint32_t* free);
    HRESULT FlipToGDISurface();
    // The adapter the desktop reports.
    HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* identifier, uint32_t flags);

    // The pixel format of surfaces made without one: the desktop's.
    DDPIXELFORMAT DisplayFormat() const;

private:
    ~DirectDraw() override = default;

    HRESULT MakeSurface(uint32_t flags, uint32_t width, uint32_t height, const DDPIXELFORMAT& format,
                        uint32_t caps, uint32_t backBuffers, DirectDrawSurface** surface);

    HWND mWindow = nullptr;
    bool mExclusive = false;
    uint32_t mModeWidth = 0;
    uint32_t mModeHeight = 0;
    uint32_t mModeBits = 0;
};

using IDirectDraw = DirectDraw;
using IDirectDraw7 = DirectDraw;

using DirectDrawCreateProc = HRESULT (*)(const void* guid, DirectDraw** directDraw, void* outer);
using DirectDrawCreateExProc = HRESULT (*)(const void* guid, void** directDraw, REFIID iid, void* outer);

HRESULT DirectDrawCreate(const void* guid, DirectDraw** directDraw, void* outer);
HRESULT DirectDrawCreateEx(const void* guid, void** directDraw, REFIID iid, void* outer);

// Registers the display libraries: "ddraw.dll" with its two entry points and
// "d3d8.dll", which the hardware self-test asks for the adapter's identity.
void RegisterDirectDrawModule();

} // namespace Platform
