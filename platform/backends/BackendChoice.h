#pragma once

namespace Platform {

// None: no backend was asked for and there is no display to open a window on.
enum class BackendKind { Sdl, Headless, None };

// LUMO_PLATFORM names the backend ("sdl" or "headless"); otherwise a display
// means sdl. A run without a window happens only when asked for. Windows and
// sound follow the same choice.
BackendKind ChosenBackend();

} // namespace Platform
