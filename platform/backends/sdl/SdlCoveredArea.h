#pragma once

#include "platform/windows/WindowTypes.h"

struct SDL_Window;

namespace Platform {

// The part of the screen the desktop window really covers. SDL reports the
// size it asked for, which a desktop without a window manager never grants;
// only X11 can be asked, so false elsewhere.
bool CoveredArea(SDL_Window* window, RECT* area);

} // namespace Platform
