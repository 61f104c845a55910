#include "platform/display/DirectDrawClipper.h"

#include "platform/display/DisplayDesktop.h"
#include "platform/windows/Window.h"

namespace Platform {

HRESULT DirectDrawClipper::SetHWnd(uint32_t, HWND window)
{
    if (HRESULT fault = DisplayDesktop::Fault("SetHWnd"))
        return fault;
    if (!IsWindow(window))
        return DDERR_INVALIDPARAMS;
    mWindow = window;
    return DD_OK;
}

} // namespace Platform
