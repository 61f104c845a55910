#pragma once

#include "platform/windows/NativeWindowState.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <string>

namespace Platform {

// One window as the windowing calls keep it.
struct WindowRecord {
    WNDPROC proc = nullptr;
    uint32_t classStyle = 0;
    std::string title; // code page 1252
    uint32_t style = 0;
    uint32_t exStyle = 0;
    RECT rect; // the outer rectangle on the screen
    RECT insets; // the frame on each side of the client area
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    LPARAM userData = 0;

    // The client area on the screen.
    RECT Client() const;
    // A topmost popup without a caption is how a program asks for the whole screen.
    bool FullScreen() const;
    NativeWindowState Native() const;
};

} // namespace Platform
