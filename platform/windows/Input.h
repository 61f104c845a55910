#pragma once

#include "platform/windows/WindowTypes.h"

// Mouse capture, the pointer and the time of the last input, Win32 style.
namespace Platform {

// While a window holds the mouse it gets every mouse message, also from
// outside its client area. Returns the previous holder.
HWND SetCapture(HWND window);
bool ReleaseCapture();
HWND GetCapture();

// The pointer on the screen as last reported; safe from any thread.
bool GetCursorPos(POINT* point);

// dwTime is the GetTickCount of the last key or mouse input the program saw.
bool GetLastInputInfo(LASTINPUTINFO* info);

} // namespace Platform
