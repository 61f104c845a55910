#pragma once

#include "platform/display/Direct3DDevice.h"
#include "platform/display/DirectDrawObject.h"
#include "platform/display/DirectDrawTypes.h"
#include "platform/display/DirectXResults.h"

#include <functional>

namespace Platform {

class DirectDrawSurface;

// The 3D interface of the display object: makes devices on 3D-capable
// surfaces.
class Direct3D final : public DirectDrawObject {
public:
    // Makes the device for a render target; the maker returns it with one
    // reference.
    using DeviceMaker = std::function<Direct3DDevice7*(DirectDrawSurface* target)>;

    HRESULT CreateDevice(REFIID kind, DirectDrawSurface* target, Direct3DDevice7** device);

    // Null restores the software device. Returns the maker it replaces.
    static DeviceMaker SetDeviceMaker(DeviceMaker maker);

private:
    ~Direct3D() override = default;
};

using IDirect3D7 = Direct3D;

} // namespace Platform
