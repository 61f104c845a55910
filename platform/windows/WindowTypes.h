#pragma once

#include <cstdint>

// The records of the windowing calls in their Win32 shape. Handles are opaque
// numbers that the layer checks against its tables; they are never followed.
namespace Platform {

struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WNDPROC = LRESULT (*)(HWND, uint32_t, WPARAM, LPARAM);

inline HWND const HWND_BROADCAST = reinterpret_cast<HWND>(uintptr_t(0xFFFF));

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};

struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct MSG {
    HWND hwnd = nullptr;
    uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    uint32_t time = 0;
    POINT pt;
};

struct WNDCLASSA {
    uint32_t style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    const char* lpszClassName = nullptr;
};

struct WINDOWPLACEMENT {
    uint32_t length = sizeof(WINDOWPLACEMENT);
    uint32_t flags = 0;
    uint32_t showCmd = 0;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

struct PAINTSTRUCT {
    RECT rcPaint;
};

struct LASTINPUTINFO {
    uint32_t cbSize = sizeof(LASTINPUTINFO);
    uint32_t dwTime = 0;
};

constexpr uint16_t LOWORD(uintptr_t value) { return uint16_t(value & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t value) { return uint16_t((value >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int32_t low, int32_t high)
{
    return LPARAM(uint32_t(uint16_t(low)) | (uint32_t(uint16_t(high)) << 16));
}
constexpr WPARAM MAKEWPARAM(int32_t low, int32_t high) { return WPARAM(uint32_t(MAKELPARAM(low, high))); }
constexpr int32_t GET_X_LPARAM(LPARAM value) { return int16_t(LOWORD(uintptr_t(value))); }
constexpr int32_t GET_Y_LPARAM(LPARAM value) { return int16_t(HIWORD(uintptr_t(value))); }
constexpr int32_t GET_WHEEL_DELTA_WPARAM(WPARAM value) { return int16_t(HIWORD(value)); }

} // namespace Platform
