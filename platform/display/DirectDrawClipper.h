#pragma once

#include "platform/display/DirectDrawObject.h"
#include "platform/display/DirectXResults.h"
#include "platform/windows/WindowTypes.h"

namespace Platform {

// Limits blits onto the surface it is set on to a window's client area.
class DirectDrawClipper final : public DirectDrawObject {
public:
    HRESULT SetHWnd(uint32_t flags, HWND window);
    HWND Window() const { return mWindow; }

private:
    ~DirectDrawClipper() override = default;

    HWND mWindow = nullptr;
};

using IDirectDrawClipper = DirectDrawClipper;

} // namespace Platform
