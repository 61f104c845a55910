#pragma once

#include "platform/backends/ShownFrame.h"
#include "platform/windows/WindowConstants.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <string>

// Window classes and windows in their Win32 shape. Windows are top-level
// only. Call them on the main thread; the geometry queries (rectangles,
// ClientToScreen, ScreenToClient, WindowFromPoint) are safe from any thread.
namespace Platform {

// False when the name is taken or the class has no procedure.
bool RegisterClassA(const WNDCLASSA* windowClass);

// Sends WM_CREATE before it returns; a window created with WS_VISIBLE is
// shown and activated. A topmost popup without a caption covers the screen.
// Null when the class is unknown or WM_CREATE answered -1.
HWND CreateWindowExA(uint32_t exStyle, const char* className, const char* windowName, uint32_t style, int32_t x,
                     int32_t y, int32_t width, int32_t height);
// Sends WM_DESTROY, then drops the window's messages, timers and capture.
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);

// Returns whether the window was visible before.
bool ShowWindow(HWND window, int command);
bool SetForegroundWindow(HWND window);
// Activation and minimising are the desktop's to report: they change when
// the pump hears of them, each with the messages Windows sends.
HWND GetActiveWindow();
// Keys go to the focus window; returns the previous one.
HWND SetFocus(HWND window);
HWND GetFocus();
bool IsIconic(HWND window);
bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);

// Outer rectangle on the screen; posts WM_MOVE and WM_SIZE for what changed.
bool MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);
bool GetWindowRect(HWND window, RECT* rect);
bool GetClientRect(HWND window, RECT* rect);
// Grows a client rectangle to the outer rectangle of a window of that style.
bool AdjustWindowRect(RECT* rect, uint32_t style);
bool ClientToScreen(HWND window, POINT* point);
bool ScreenToClient(HWND window, POINT* point);
HWND WindowFromPoint(POINT screen);

// GWLP_USERDATA only; returns the previous value.
LPARAM SetWindowLongPtrA(HWND window, int index, LPARAM value);
LPARAM GetWindowLongPtrA(HWND window, int index);

// Screen size, double-click area; 0 for a tablet and anything unknown.
int GetSystemMetrics(int index);
// The work area (RECT*), and the screensaver, which never runs here: its
// timeout (int*) is 0 and it is neither active nor running (int*).
bool SystemParametersInfoA(uint32_t action, uint32_t parameter, void* data);

// Shows rows of 32-bit ARGB pixels (pitch in bytes) in the client area.
bool ShowWindowFrame(HWND window, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch);
// Shows a frame in its own format, of which only the changed rows are new.
bool ShowWindowFrame(HWND window, const ShownFrame& frame);

// Empty when the full-screen window covers the screen; else why the desktop
// kept it from doing so.
std::string FullScreenRefusal(HWND window);

// "sdl" or "headless".
const char* GetPlatformName();

} // namespace Platform
