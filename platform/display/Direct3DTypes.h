#pragma once

#include "platform/display/DirectDrawTypes.h"

#include <cstdint>

// The records and constants of the 3D device calls, in their Direct3D 7
// shape with this layer's own layout.
namespace Platform {

struct D3DPRIMCAPS {
    uint32_t dwTextureCaps = 0;
};

struct D3DDEVICEDESC7 {
    uint32_t dwDevCaps = 0;
    D3DPRIMCAPS dpcLineCaps;
    D3DPRIMCAPS dpcTriCaps;
    uint32_t dwMinTextureWidth = 0;
    uint32_t dwMinTextureHeight = 0;
    uint32_t dwMaxTextureWidth = 0;
    uint32_t dwMaxTextureHeight = 0;
    uint32_t dwMaxTextureAspectRatio = 0;
};

struct D3DVIEWPORT7 {
    uint32_t dwX = 0;
    uint32_t dwY = 0;
    uint32_t dwWidth = 0;
    uint32_t dwHeight = 0;
    float dvMinZ = 0.0f;
    float dvMaxZ = 1.0f;
};

struct D3DRECT {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
};

// A pre-transformed vertex: screen position, diffuse and specular colours
// and one pair of texture coordinates.
struct D3DTLVERTEX {
    float sx = 0.0f;
    float sy = 0.0f;
    float sz = 0.0f;
    float rhw = 1.0f;
    uint32_t color = 0;
    uint32_t specular = 0;
    float tu = 0.0f;
    float tv = 0.0f;
};
static_assert(sizeof(D3DTLVERTEX) == 32);

struct DDDEVICEIDENTIFIER2 {
    char szDriver[512] = {};
    char szDescription[512] = {};
    uint32_t dwVendorId = 0;
    uint32_t dwDeviceId = 0;
    uint8_t guidDeviceIdentifier[16] = {};
};

constexpr uint32_t DDPF_ALPHAPIXELS = 0x1;
constexpr uint32_t DDPF_PALETTEINDEXED8 = 0x20;

constexpr uint32_t DDSCAPS2_TEXTUREMANAGE = 0x10;
constexpr uint32_t DDSCAPS2_D3DTEXTUREMANAGE = 0x20000;

constexpr uint32_t DDPCAPS_8BIT = 0x4;
constexpr uint32_t DDPCAPS_ALLOW256 = 0x40;
constexpr uint32_t DDPCAPS_ALPHA = 0x400;

constexpr uint32_t D3DPTEXTURECAPS_ALPHAPALETTE = 0x80;

constexpr uint32_t D3DCLEAR_TARGET = 0x1;
constexpr uint32_t D3DDP_WAIT = 0x1;
constexpr uint32_t D3DFVF_TLVERTEX = 0x1C4;
constexpr int32_t D3DENUMRET_CANCEL = 0;
constexpr int32_t D3DENUMRET_OK = 1;

constexpr uint32_t D3DRENDERSTATE_ZENABLE = 7;
constexpr uint32_t D3DRENDERSTATE_ZWRITEENABLE = 14;
constexpr uint32_t D3DRENDERSTATE_SRCBLEND = 19;
constexpr uint32_t D3DRENDERSTATE_DESTBLEND = 20;
constexpr uint32_t D3DRENDERSTATE_CULLMODE = 22;
constexpr uint32_t D3DRENDERSTATE_DITHERENABLE = 26;
constexpr uint32_t D3DRENDERSTATE_ALPHABLENDENABLE = 27;
constexpr uint32_t D3DRENDERSTATE_SPECULARENABLE = 29;
constexpr uint32_t D3DRENDERSTATE_LIGHTING = 137;

constexpr uint32_t D3DBLEND_ZERO = 1;
constexpr uint32_t D3DBLEND_ONE = 2;
constexpr uint32_t D3DBLEND_SRCALPHA = 5;
constexpr uint32_t D3DBLEND_INVSRCALPHA = 6;

constexpr uint32_t D3DCULL_NONE = 1;

constexpr uint32_t D3DTSS_COLOROP = 1;
constexpr uint32_t D3DTSS_ALPHAOP = 4;
constexpr uint32_t D3DTSS_ADDRESSU = 13;
constexpr uint32_t D3DTSS_ADDRESSV = 14;
constexpr uint32_t D3DTSS_MAGFILTER = 16;
constexpr uint32_t D3DTSS_MINFILTER = 17;
constexpr uint32_t D3DTSS_MIPFILTER = 18;

constexpr uint32_t D3DTOP_SELECTARG1 = 2;
constexpr uint32_t D3DTOP_MODULATE = 4;
constexpr uint32_t D3DTADDRESS_CLAMP = 3;

constexpr uint32_t D3DTFN_POINT = 1;
constexpr uint32_t D3DTFN_LINEAR = 2;
constexpr uint32_t D3DTFG_POINT = 1;
constexpr uint32_t D3DTFG_LINEAR = 2;
constexpr uint32_t D3DTFP_NONE = 1;
constexpr uint32_t D3DTFP_POINT = 2;

constexpr uint32_t D3DPT_LINESTRIP = 3;
constexpr uint32_t D3DPT_TRIANGLELIST = 4;
constexpr uint32_t D3DPT_TRIANGLESTRIP = 5;
constexpr uint32_t D3DPT_TRIANGLEFAN = 6;

} // namespace Platform
