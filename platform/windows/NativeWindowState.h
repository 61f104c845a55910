#pragma once

#include "platform/windows/WindowTypes.h"

#include <string>

namespace Platform {

// How a backend should show one window.
struct NativeWindowState {
    std::string title; // UTF-8
    RECT client; // on the screen
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    // Covers the desktop, the client area scaled to fit it.
    bool fullScreen = false;
};

} // namespace Platform
