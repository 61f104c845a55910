#pragma once

#include <string>

class PakInterface;

// The program's process-wide state, set up by one routine in a fixed order
// before the application object exists, instead of by static constructors
// whose order across files no one controls.
namespace Lumo {

// The archive layer every content reader reaches; null until the routine has
// run, or when it could not be created (every file is then read from disk).
extern PakInterface* gPakInterface;

// The path of the file a crash report attaches: empty until the crash
// handler names one.
extern std::string gCrashAttachmentPath;

// The game's own globals come first (its jukebox tables); set before the routine runs.
using GameStaticInit = void (*)();
void SetGameStaticInit(GameStaticInit hook);

// Runs once; later calls do nothing.
void RunStaticInitialisation();

} // namespace Lumo
