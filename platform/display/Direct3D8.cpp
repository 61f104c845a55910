#include "platform/display/Direct3D8.h"

#include "platform/display/DisplayDesktop.h"

#include <algorithm>

namespace Platform {

HRESULT Direct3D8::GetAdapterIdentifier(uint32_t adapter, uint32_t, D3DADAPTER_IDENTIFIER8* identifier)
{
    if (!identifier || adapter != 0)
        return DDERR_INVALIDPARAMS;
    if (HRESULT fault = DisplayDesktop::Fault("GetAdapterIdentifier"))
        return fault;
    const DesktopFormat desktop = DisplayDesktop::Format();
    *identifier = D3DADAPTER_IDENTIFIER8{};
    desktop.adapterDriver.copy(identifier->Driver, sizeof(identifier->Driver) - 1);
    desktop.adapterDescription.copy(identifier->Description, sizeof(identifier->Description) - 1);
    std::copy(desktop.adapterGuid.begin(), desktop.adapterGuid.end(), identifier->DeviceIdentifier);
    return D3D_OK;
}

Direct3D8* Direct3DCreate8(uint32_t sdkVersion)
{
    return sdkVersion == D3D8_SDK_VERSION ? new Direct3D8() : nullptr;
}

} // namespace Platform
