#pragma once

#include "platform/windows/WindowTypes.h"

#include <cstdint>

// Mouse cursors, Win32 style: standard ones by id, monochrome ones from masks.
namespace Platform {

constexpr uint32_t IDC_ARROW = 32512;
constexpr uint32_t IDC_IBEAM = 32513;
constexpr uint32_t IDC_WAIT = 32514;
constexpr uint32_t IDC_CROSS = 32515;
constexpr uint32_t IDC_SIZENWSE = 32642;
constexpr uint32_t IDC_SIZENESW = 32643;
constexpr uint32_t IDC_SIZEWE = 32644;
constexpr uint32_t IDC_SIZENS = 32645;
constexpr uint32_t IDC_SIZEALL = 32646;
constexpr uint32_t IDC_NO = 32648;
constexpr uint32_t IDC_HAND = 32649;

// A shared handle, the same on every call; null for an unknown id.
HCURSOR LoadCursorA(uint32_t id);
// Masks of one bit a pixel, rows padded to 16 bits: AND 1 keeps the screen
// (XOR 1 inverts it), AND 0 paints black (XOR 0) or white (XOR 1).
HCURSOR CreateCursor(int32_t hotX, int32_t hotY, int32_t width, int32_t height, const void* andMask,
                     const void* xorMask);
// Only cursors made by CreateCursor.
bool DestroyCursor(HCURSOR cursor);

// Null hides the pointer. Returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Returns the new display count; the pointer shows while it is 0 or more.
int ShowCursor(bool show);

} // namespace Platform
