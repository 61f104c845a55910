#pragma once

#include "platform/display/DirectDrawObject.h"
#include "platform/display/DirectXResults.h"

#include <cstdint>

namespace Platform {

constexpr uint32_t D3D8_SDK_VERSION = 220;
// Leaves out the driver's certification level, which takes long to find.
constexpr uint32_t D3DENUM_NO_WHQL_LEVEL = 0x2;

struct D3DADAPTER_IDENTIFIER8 {
    char Driver[512] = {};
    char Description[512] = {};
    uint32_t DriverVersionLowPart = 0;
    uint32_t DriverVersionHighPart = 0;
    uint32_t VendorId = 0;
    uint32_t DeviceId = 0;
    uint32_t SubSysId = 0;
    uint32_t Revision = 0;
    uint8_t DeviceIdentifier[16] = {};
    uint32_t WHQLLevel = 0;
};

// The Direct3D 8 object. Nothing draws through it; it tells the identity of
// the one display adapter, the same as the display object does.
class Direct3D8 final : public DirectDrawObject {
public:
    HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags, D3DADAPTER_IDENTIFIER8* identifier);

private:
    ~Direct3D8() override = default;
};

using IDirect3D8 = Direct3D8;

// Null for any SDK version but D3D8_SDK_VERSION.
Direct3D8* Direct3DCreate8(uint32_t sdkVersion);
using Direct3DCreate8Proc = Direct3D8* (*)(uint32_t sdkVersion);

} // namespace Platform
