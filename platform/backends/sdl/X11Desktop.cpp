#include "platform/backends/sdl/X11Desktop.h"

#include "platform/backends/sdl/X11ServerLoss.h"
#include "platform/windows/WindowConstants.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace Platform {

std::unique_ptr<X11Desktop> X11Desktop::Open()
{
    ::Display* display = XOpenDisplay(nullptr);
    return display ? std::unique_ptr<X11Desktop>(new X11Desktop(display)) : nullptr;
}

X11Desktop::X11Desktop(_XDisplay* display) : mDisplay(display)
{
    int event = 0, error = 0;
    mSaverExtension = XScreenSaverQueryExtension(mDisplay, &event, &error);
}

X11Desktop::~X11Desktop()
{
    if (!X11ServerLost())
        XCloseDisplay(mDisplay);
}

bool X11Desktop::Reachable()
{
    XSync(mDisplay, False);
    return !X11ServerLost();
}

bool X11Desktop::Pointer(POINT* screen)
{
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(mDisplay, DefaultRootWindow(mDisplay), &root, &child, &rootX, &rootY, &x, &y, &buttons))
        return false;
    *screen = POINT{rootX, rootY};
    return true;
}

void X11Desktop::PointerBackTo(const POINT& screen)
{
    POINT now;
    if (!Pointer(&now) || (now.x == screen.x && now.y == screen.y))
        return;
    const ::Window root = DefaultRootWindow(mDisplay);
    XWarpPointer(mDisplay, root, root, now.x, now.y, 1, 1, screen.x, screen.y);
    XSync(mDisplay, False);
}

int X11Desktop::ScreenSaverSetting(uint32_t action)
{
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    XGetScreenSaver(mDisplay, &timeout, &interval, &blanking, &exposures);
    XScreenSaverInfo info{};
    const bool known = mSaverExtension && XScreenSaverQueryInfo(mDisplay, DefaultRootWindow(mDisplay), &info);
    switch (action) {
    case SPI_GETSCREENSAVETIMEOUT:
        return timeout;
    case SPI_GETSCREENSAVEACTIVE:
        return timeout > 0 && !(known && info.state == ScreenSaverDisabled);
    case SPI_GETSCREENSAVERRUNNING:
        return known && info.state == ScreenSaverOn;
    default:
        return 0;
    }
}

bool X11Desktop::IdleMilliseconds(uint32_t* idle)
{
    XScreenSaverInfo info{};
    if (!mSaverExtension || !XScreenSaverQueryInfo(mDisplay, DefaultRootWindow(mDisplay), &info))
        return false;
    *idle = uint32_t(info.idle);
    return true;
}

} // namespace Platform
