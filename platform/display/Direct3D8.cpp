#include "platform/display/Direct3D8.h"

#include "platform/display/DisplayDesktop.h"

namespace Platform {

HRESULT Direct3D8::GetAdapterIdentifier(uint32_t adapter, uint32_t, D3DADAPTER_IDENTIFIER8* identifier)
{
    if (!identifier || adapter != 0)
        return DDERR_INVALIDPARAMS;
    if (HRESULT fault = DisplayDesktop::Fault("GetAdapterIdentifier"))
        return fault;
    *identifier = D3DADAPTER_IDENTIFIER8{};
    DisplayDesktop::Format().CopyAdapterIdentity(identifier->Driver, identifier->Description,
                                                 identifier->DeviceIdentifier);
    return D3D_OK;
}

Direct3D8* Direct3DCreate8(uint32_t sdkVersion)
{
    return sdkVersion == D3D8_SDK_VERSION ? new Direct3D8() : nullptr;
}

} // namespace Platform
