#include "platform/backends/sdl/SdlCoveredArea.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace Platform {

bool CoveredArea(SDL_Window* window, RECT* area)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    ::Display* display = info.info.x11.display;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, info.info.x11.window, &attributes))
        return false;
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, info.info.x11.window, attributes.root, 0, 0, &x, &y, &child);
    *area = RECT{x, y, x + attributes.width, y + attributes.height};
    return true;
}

} // namespace Platform
