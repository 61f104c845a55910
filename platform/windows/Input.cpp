#include "platform/windows/Input.h"

#include "platform/process/Clock.h"
#include "platform/windows/WindowSystem.h"

namespace Platform {

HWND SetCapture(HWND window)
{
    WindowSystem& system = WindowSystem::Current();
    if (!system.Windows().Get(window))
        return nullptr;
    HWND previous = system.Windows().SetCapture(window);
    system.Desktop().CaptureMouse(true);
    return previous;
}

bool ReleaseCapture()
{
    WindowSystem& system = WindowSystem::Current();
    if (system.Windows().SetCapture(nullptr))
        system.Desktop().CaptureMouse(false);
    return true;
}

HWND GetCapture() { return WindowSystem::Current().Windows().Capture(); }

bool GetCursorPos(POINT* point)
{
    if (!point)
        return false;
    *point = WindowSystem::Current().Input().CursorPosition();
    return true;
}

bool GetLastInputInfo(LASTINPUTINFO* info)
{
    if (!info || info->cbSize != sizeof(LASTINPUTINFO))
        return false;
    WindowSystem& system = WindowSystem::Current();
    // Input to other programs counts too, where the desktop tells of it.
    uint32_t idle = 0;
    info->dwTime = system.Desktop().InputIdle(&idle) ? GetTickCount() - idle : system.Input().LastInputTime();
    return true;
}

} // namespace Platform
