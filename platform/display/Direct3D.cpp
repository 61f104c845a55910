#include "platform/display/Direct3D.h"

#include "platform/display/DirectDrawSurface.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/display/SoftwareDevice.h"

#include <mutex>

namespace Platform {

namespace {

struct MakerState {
    std::mutex lock;
    Direct3D::DeviceMaker maker;
};

MakerState& Maker()
{
    static MakerState state;
    return state;
}

} // namespace

HRESULT Direct3D::CreateDevice(REFIID kind, DirectDrawSurface* target, Direct3DDevice7** device)
{
    if (!device)
        return DDERR_INVALIDPARAMS;
    *device = nullptr;
    if (HRESULT fault = DisplayDesktop::Fault("CreateDevice"))
        return fault;
    if (kind != IID_IDirect3DHALDevice || !target)
        return DDERR_INVALIDPARAMS;
    if (!(target->Caps() & DDSCAPS_3DDEVICE))
        return DDERR_INVALIDCAPS;
    DeviceMaker maker;
    {
        std::lock_guard<std::mutex> hold(Maker().lock);
        maker = Maker().maker;
    }
    *device = maker ? maker(target) : new SoftwareDevice(target);
    return *device ? D3D_OK : DDERR_OUTOFMEMORY;
}

Direct3D::DeviceMaker Direct3D::SetDeviceMaker(DeviceMaker maker)
{
    std::lock_guard<std::mutex> hold(Maker().lock);
    DeviceMaker previous = std::move(Maker().maker);
    Maker().maker = std::move(maker);
    return previous;
}

} // namespace Platform
