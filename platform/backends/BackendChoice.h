#pragma once

namespace Platform {

enum class BackendKind { Sdl, Headless };

// LUMO_PLATFORM names the backend ("sdl" or "headless"); otherwise a display
// means sdl. Windows and sound follow the same choice.
BackendKind ChosenBackend();

} // namespace Platform
