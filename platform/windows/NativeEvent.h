#pragma once

#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <string>

namespace Platform {

enum class MouseButton : uint8_t { Left, Right, Middle };

// What a backend reports from the desktop, before it becomes window messages.
struct NativeEvent {
    enum class Kind : uint8_t {
        KeyDown,
        KeyUp,
        Text,
        MouseMove,
        ButtonDown,
        ButtonUp,
        Wheel,
        Activated,
        Deactivated,
        Minimized,
        Maximized,
        Restored,
        Moved,
        Exposed,
        CloseRequested,
        // The desktop went away: the session is over.
        SessionEnded,
    };

    Kind kind = Kind::MouseMove;
    // Null for keys and text: they go to the window with the keyboard focus.
    HWND window = nullptr;
    uint8_t key = 0; // virtual-key code
    bool rightSide = false; // the right Shift, Ctrl or Alt
    bool repeat = false;
    // Mouse: client coordinates of the window. Moved: the client origin on the screen.
    int32_t x = 0;
    int32_t y = 0;
    MouseButton button = MouseButton::Left;
    int32_t wheelNotches = 0;
    std::string text; // UTF-8
};

} // namespace Platform
