#include "platform/windows/Messages.h"

#include "platform/windows/VirtualKeys.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowSystem.h"

namespace Platform {

namespace {

WindowSystem& System() { return WindowSystem::Current(); }

constexpr uint32_t kFirstRegisteredMessage = 0xC000;
constexpr LPARAM kAltContext = LPARAM(1) << 29;

} // namespace

bool PeekMessageA(MSG* msg, HWND window, uint32_t first, uint32_t last, uint32_t remove)
{
    if (!msg)
        return false;
    WindowSystem& system = System();
    system.Pump();
    if (!system.Queue().Take(msg, window, first, last, remove & PM_REMOVE))
        return false;
    msg->pt = system.Input().CursorPosition();
    return true;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    std::optional<WindowRecord> record = System().Windows().Get(msg->hwnd);
    return record ? record->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

bool PostMessageA(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    WindowSystem& system = System();
    if (window == HWND_BROADCAST) {
        const bool posted = system.Broadcast(message, wParam, lParam);
        const bool forwarded = message >= kFirstRegisteredMessage && system.ForwardRegistered(message, wParam, lParam);
        return posted || forwarded;
    }
    if (window && !system.Windows().Get(window))
        return false;
    system.Queue().Post(window, message, wParam, lParam);
    return true;
}

LRESULT SendMessageA(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    if (window == HWND_BROADCAST) {
        for (HWND each : System().Windows().All())
            SendMessageA(each, message, wParam, lParam);
        return 0;
    }
    std::optional<WindowRecord> record = System().Windows().Get(window);
    return record ? record->proc(window, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & kAltContext))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(window, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(window, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(window, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(window, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT:
        System().Queue().Validate(window);
        return 0;
    case WM_QUERYOPEN:
    case WM_QUERYENDSESSION:
        return 1;
    case WM_ACTIVATE:
        if (wParam != WA_INACTIVE)
            SetFocus(window);
        return 0;
    default:
        return 0;
    }
}

uint32_t RegisterWindowMessageA(const char* name)
{
    if (!name || !*name)
        return 0;
    return System().RegisterMessage(name);
}

uintptr_t SetTimer(HWND window, uintptr_t id, uint32_t periodMs)
{
    if (!IsWindow(window))
        return 0;
    System().Queue().SetTimer(window, id, periodMs);
    return id;
}

bool KillTimer(HWND window, uintptr_t id) { return System().Queue().KillTimer(window, id); }

bool BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    if (!paint || !GetClientRect(window, &paint->rcPaint))
        return false;
    System().Queue().Validate(window);
    return true;
}

} // namespace Platform
