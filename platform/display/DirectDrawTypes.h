#pragma once

#include <cstdint>

// The records and flags of the display calls, in their DirectDraw shape with
// this layer's own layout. Flag values are the ones callers pass and test.
namespace Platform {

struct DDPIXELFORMAT {
    uint32_t dwSize = sizeof(DDPIXELFORMAT);
    uint32_t dwFlags = 0;
    uint32_t dwFourCC = 0;
    uint32_t dwRGBBitCount = 0;
    uint32_t dwRBitMask = 0;
    uint32_t dwGBitMask = 0;
    uint32_t dwBBitMask = 0;
    uint32_t dwRGBAlphaBitMask = 0;
};

struct DDCOLORKEY {
    uint32_t dwColorSpaceLowValue = 0;
    uint32_t dwColorSpaceHighValue = 0;
};

struct DDSCAPS {
    uint32_t dwCaps = 0;
};

struct DDSCAPS2 {
    uint32_t dwCaps = 0;
    uint32_t dwCaps2 = 0;
    uint32_t dwCaps3 = 0;
    uint32_t dwCaps4 = 0;
};

// The version-1 and version-7 descriptions differ only in their caps.
template <typename Caps>
struct SurfaceDescription {
    uint32_t dwSize = sizeof(SurfaceDescription);
    uint32_t dwFlags = 0;
    uint32_t dwHeight = 0;
    uint32_t dwWidth = 0;
    int32_t lPitch = 0;
    uint32_t dwBackBufferCount = 0;
    uint32_t dwRefreshRate = 0;
    uint32_t dwAlphaBitDepth = 0;
    uint32_t dwReserved = 0;
    void* lpSurface = nullptr;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    Caps ddsCaps;
};
using DDSURFACEDESC = SurfaceDescription<DDSCAPS>;
using DDSURFACEDESC2 = SurfaceDescription<DDSCAPS2>;

// Callers zero it and set dwSize to 100, so it keeps that size.
struct DDBLTFX {
    uint32_t dwSize = 0;
    uint32_t dwDDFX = 0;
    uint32_t dwReserved[23] = {};
};
static_assert(sizeof(DDBLTFX) == 100);

struct DDPALETTEENTRY {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
};

// Interface ids for QueryInterface.
enum class REFIID : uint32_t {
    IID_IDirectDraw = 1,
    IID_IDirectDraw7,
    IID_IDirectDrawSurface,
    IID_IDirectDrawSurface7,
    IID_IDirect3D7,
    IID_IDirect3DHALDevice,
};
constexpr REFIID IID_IDirectDraw = REFIID::IID_IDirectDraw;
constexpr REFIID IID_IDirectDraw7 = REFIID::IID_IDirectDraw7;
constexpr REFIID IID_IDirectDrawSurface = REFIID::IID_IDirectDrawSurface;
constexpr REFIID IID_IDirectDrawSurface7 = REFIID::IID_IDirectDrawSurface7;
constexpr REFIID IID_IDirect3D7 = REFIID::IID_IDirect3D7;
constexpr REFIID IID_IDirect3DHALDevice = REFIID::IID_IDirect3DHALDevice;

constexpr uint32_t DDSD_CAPS = 0x1;
constexpr uint32_t DDSD_HEIGHT = 0x2;
constexpr uint32_t DDSD_WIDTH = 0x4;
constexpr uint32_t DDSD_PITCH = 0x8;
constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x20;
constexpr uint32_t DDSD_PIXELFORMAT = 0x1000;

constexpr uint32_t DDPF_RGB = 0x40;

constexpr uint32_t DDSCAPS_BACKBUFFER = 0x4;
constexpr uint32_t DDSCAPS_COMPLEX = 0x8;
constexpr uint32_t DDSCAPS_FLIP = 0x10;
constexpr uint32_t DDSCAPS_FRONTBUFFER = 0x20;
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr uint32_t DDSCAPS_TEXTURE = 0x1000;
constexpr uint32_t DDSCAPS_3DDEVICE = 0x2000;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

constexpr uint32_t DDSCL_FULLSCREEN = 0x1;
constexpr uint32_t DDSCL_NORMAL = 0x8;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x10;

constexpr uint32_t DDLOCK_WAIT = 0x1;
constexpr uint32_t DDLOCK_READONLY = 0x10;
constexpr uint32_t DDLOCK_WRITEONLY = 0x20;

constexpr uint32_t DDBLT_KEYSRC = 0x8000;
constexpr uint32_t DDBLT_WAIT = 0x1000000;
constexpr uint32_t DDBLTFX_ARITHSTRETCHY = 0x1;

constexpr uint32_t DDFLIP_WAIT = 0x1;

constexpr uint32_t DDCKEY_SRCBLT = 0x8;

} // namespace Platform
