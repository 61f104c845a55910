#pragma once

namespace Platform {

// Registers the sound library "dsound.dll" (DirectSoundCreate) and the music
// library "bass.dll" (every entry point of its 2.x interface), both playing
// through the one mixer. Start-up calls it once; calling it again is harmless.
void RegisterAudioModules();

} // namespace Platform
