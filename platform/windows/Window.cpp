#include "platform/windows/Window.h"

#include "platform/windows/InputTranslator.h"
#include "platform/process/Log.h"
#include "platform/windows/Messages.h"
#include "platform/windows/WindowSystem.h"

#include <utility>

namespace Platform {

namespace {

WindowSystem& System() { return WindowSystem::Current(); }

RECT InsetsFor(uint32_t style)
{
    return (style & WS_CAPTION) ? System().Desktop().FrameInsets(style) : RECT{};
}

LPARAM ClientSize(const WindowRecord& w)
{
    RECT client = w.Client();
    return MAKELPARAM(client.right - client.left, client.bottom - client.top);
}

} // namespace

bool RegisterClassA(const WNDCLASSA* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName)
        return false;
    return System().Windows().AddClass(windowClass->lpszClassName, windowClass->lpfnWndProc, windowClass->style);
}

HWND CreateWindowExA(uint32_t exStyle, const char* className, const char* windowName, uint32_t style, int32_t x,
                     int32_t y, int32_t width, int32_t height)
{
    WindowRecord record;
    record.title = windowName ? windowName : "";
    record.style = style & ~WS_VISIBLE;
    record.exStyle = exStyle;
    record.rect = RECT{x, y, x + width, y + height};
    record.insets = InsetsFor(style);
    HWND window = System().Windows().Add(className ? className : "", record);
    if (!window) {
        LogLine(std::string("CreateWindowExA: no window class \"") + (className ? className : "") + "\"");
        return nullptr;
    }
    if (SendMessageA(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if (style & WS_VISIBLE)
        ShowWindow(window, SW_SHOW);
    return window;
}

bool DestroyWindow(HWND window)
{
    WindowSystem& system = System();
    if (!system.Windows().Get(window))
        return false;
    SendMessageA(window, WM_DESTROY, 0, 0);
    if (system.Windows().Capture() == window)
        system.Desktop().CaptureMouse(false);
    system.Windows().Remove(window);
    system.Queue().Forget(window);
    system.Desktop().DestroyWindow(window);
    return true;
}

bool IsWindow(HWND window) { return System().Windows().Get(window).has_value(); }

bool ShowWindow(HWND window, int command)
{
    WindowSystem& system = System();
    std::optional<WindowRecord> before = system.Windows().Get(window);
    if (!before)
        return false;
    WindowRecord after = *before;
    bool activate = false;
    switch (command) {
    case SW_HIDE:
        after.visible = false;
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        after.visible = true;
        after.minimized = after.maximized = false;
        activate = true;
        break;
    case SW_SHOWNOACTIVATE:
        after.visible = true;
        after.minimized = after.maximized = false;
        break;
    case SW_SHOW:
        after.visible = true;
        activate = true;
        break;
    case SW_SHOWNA:
        after.visible = true;
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        after.visible = true;
        after.minimized = true;
        after.maximized = false;
        break;
    case SW_MAXIMIZE:
        after.visible = true;
        after.minimized = false;
        after.maximized = true;
        activate = true;
        break;
    default:
        return before->visible;
    }
    system.Windows().Update(window, [&](WindowRecord& w) {
        w.visible = after.visible;
        w.minimized = after.minimized;
        w.maximized = after.maximized;
    });
    if (after.minimized && !before->minimized)
        system.Queue().Post(window, WM_SIZE, SIZE_MINIMIZED, 0);
    else if (after.maximized && !before->maximized)
        system.Queue().Post(window, WM_SIZE, SIZE_MAXIMIZED, ClientSize(after));
    else if (!after.minimized && !after.maximized && (before->minimized || before->maximized))
        system.Queue().Post(window, WM_SIZE, SIZE_RESTORED, ClientSize(after));
    if (after.visible && !after.minimized)
        system.Queue().Invalidate(window);
    else
        system.Queue().Validate(window);
    system.Sync(window, activate && !after.minimized);
    return before->visible;
}

bool SetForegroundWindow(HWND window)
{
    std::optional<WindowRecord> record = System().Windows().Get(window);
    if (!record || !record->visible)
        return false;
    System().Sync(window, true);
    return true;
}

HWND GetActiveWindow() { return System().Windows().Active(); }

HWND SetFocus(HWND window)
{
    if (window && !IsWindow(window))
        return nullptr;
    return System().Windows().SetFocus(window);
}

HWND GetFocus() { return System().Windows().Focus(); }

bool IsIconic(HWND window)
{
    std::optional<WindowRecord> record = System().Windows().Get(window);
    return record && record->minimized;
}

bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement)
{
    std::optional<WindowRecord> record = System().Windows().Get(window);
    if (!record || !placement)
        return false;
    *placement = WINDOWPLACEMENT();
    placement->showCmd = record->minimized ? SW_SHOWMINIMIZED : record->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement->rcNormalPosition = record->rect;
    return true;
}

bool MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint)
{
    WindowSystem& system = System();
    std::optional<WindowRecord> before = system.Windows().Get(window);
    if (!before)
        return false;
    WindowRecord after = *before;
    after.rect = RECT{x, y, x + width, y + height};
    system.Windows().Update(window, [&](WindowRecord& w) { w.rect = after.rect; });
    RECT client = after.Client();
    if (x != before->rect.left || y != before->rect.top)
        system.Queue().Post(window, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    if (width != before->rect.right - before->rect.left || height != before->rect.bottom - before->rect.top)
        system.Queue().Post(window, WM_SIZE, SIZE_RESTORED, ClientSize(after));
    if (repaint && after.visible)
        system.Queue().Invalidate(window);
    system.Sync(window, false);
    return true;
}

bool GetWindowRect(HWND window, RECT* rect)
{
    std::optional<WindowRecord> record = System().Windows().Get(window);
    if (!record || !rect)
        return false;
    *rect = record->rect;
    return true;
}

bool GetClientRect(HWND window, RECT* rect)
{
    std::optional<WindowRecord> record = System().Windows().Get(window);
    if (!record || !rect)
        return false;
    RECT client = record->Client();
    *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return true;
}

bool AdjustWindowRect(RECT* rect, uint32_t style)
{
    if (!rect)
        return false;
    RECT insets = InsetsFor(style);
    *rect = RECT{rect->left - insets.left, rect->top - insets.top, rect->right + insets.right,
                 rect->bottom + insets.bottom};
    return true;
}

bool ClientToScreen(HWND window, POINT* point)
{
    std::optional<WindowRecord> record = System().Windows().Get(window);
    if (!record || !point)
        return false;
    RECT client = record->Client();
    point->x += client.left;
    point->y += client.top;
    return true;
}

bool ScreenToClient(HWND window, POINT* point)
{
    std::optional<WindowRecord> record = System().Windows().Get(window);
    if (!record || !point)
        return false;
    RECT client = record->Client();
    point->x -= client.left;
    point->y -= client.top;
    return true;
}

HWND WindowFromPoint(POINT screen) { return System().Windows().At(screen); }

LPARAM SetWindowLongPtrA(HWND window, int index, LPARAM value)
{
    LPARAM previous = 0;
    if (index == GWLP_USERDATA)
        System().Windows().Update(window, [&](WindowRecord& w) { previous = std::exchange(w.userData, value); });
    return previous;
}

LPARAM GetWindowLongPtrA(HWND window, int index)
{
    std::optional<WindowRecord> record = System().Windows().Get(window);
    return record && index == GWLP_USERDATA ? record->userData : 0;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: {
        RECT screen = System().Desktop().ScreenRect();
        return screen.right - screen.left;
    }
    case SM_CYSCREEN: {
        RECT screen = System().Desktop().ScreenRect();
        return screen.bottom - screen.top;
    }
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return InputTranslator::kDoubleClickSize;
    default:
        return 0;
    }
}

bool SystemParametersInfoA(uint32_t action, uint32_t, void* data)
{
    switch (action) {
    case SPI_GETWORKAREA:
        if (!data)
            return false;
        *static_cast<RECT*>(data) = System().Desktop().WorkArea();
        return true;
    case SPI_GETSCREENSAVETIMEOUT:
    case SPI_GETSCREENSAVEACTIVE:
    case SPI_GETSCREENSAVERRUNNING:
        if (!data)
            return false;
        *static_cast<int*>(data) = System().Desktop().ScreenSaverSetting(action);
        return true;
    case SPI_SETSCREENSAVERRUNNING:
        return true;
    default:
        return false;
    }
}

bool ShowWindowFrame(HWND window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch)
{
    ShownFrame frame;
    frame.pixels = reinterpret_cast<const uint8_t*>(pixels);
    frame.width = width;
    frame.height = height;
    frame.pitch = pitch;
    frame.format.alpha = 0xFF000000u;
    return ShowWindowFrame(window, frame);
}

bool ShowWindowFrame(HWND window, const ShownFrame& frame)
{
    if (!IsWindow(window) || !frame.pixels || frame.width <= 0 || frame.height <= 0 ||
        frame.pitch < int64_t(frame.width) * (frame.format.bits / 8))
        return false;
    System().Desktop().PresentFrame(window, frame);
    return true;
}

std::string FullScreenRefusal(HWND window)
{
    return IsWindow(window) ? System().Desktop().FullScreenRefusal(window) : std::string();
}

const char* GetPlatformName() { return System().Desktop().Name(); }

} // namespace Platform
