#pragma once

#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <memory>

struct _XDisplay;

namespace Platform {

// What only the X server can tell, asked on a connection of our own: where
// the pointer is while it is over no window of ours (SDL's global pointer
// state is not refreshed for every input device), and the server's screen
// saver; and the pointer put back where SDL moved it from.
class X11Desktop {
public:
    // Null where the display is not an X server.
    static std::unique_ptr<X11Desktop> Open();
    ~X11Desktop();
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    // Whether the server still answers; asking finds out that it went.
    bool Reachable();
    bool Pointer(POINT* screen);
    // Puts the pointer back where it stood, unless a move comes between:
    // the server moves it only from where it is found.
    void PointerBackTo(const POINT& screen);
    // The screen saver's timeout (seconds), whether it is enabled, and
    // whether it runs now, by the SystemParametersInfoA action that asks.
    int ScreenSaverSetting(uint32_t action);
    // How long no input reached the server, from any program.
    bool IdleMilliseconds(uint32_t* idle);

private:
    explicit X11Desktop(_XDisplay* display);

    _XDisplay* mDisplay;
    bool mSaverExtension = false;
};

} // namespace Platform
