#include "platform/backends/BackendChoice.h"

#include "platform/process/Log.h"

#include <cstdlib>
#include <string>

namespace Platform {

namespace {

bool HasDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

} // namespace

BackendKind ChosenBackend()
{
    const char* named = std::getenv("LUMO_PLATFORM");
    const std::string choice = named ? named : "";
    if (choice == "sdl")
        return BackendKind::Sdl;
    if (choice == "headless")
        return BackendKind::Headless;
    if (!choice.empty())
        LogLine("LUMO_PLATFORM=\"" + choice + "\" is neither \"sdl\" nor \"headless\"; choosing by the display");
    return HasDisplay() ? BackendKind::Sdl : BackendKind::None;
}

} // namespace Platform
