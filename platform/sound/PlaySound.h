#pragma once

#include "platform/process/Modules.h"

#include <cstdint>

// The multimedia library's one-call sound player.
namespace Platform {

constexpr uint32_t SND_ASYNC = 0x1;
constexpr uint32_t SND_NODEFAULT = 0x2;

// Plays a WAV file (a file name, as the file calls map it) through the mixer
// in place of the sound the last call started; null stops that sound. Where
// the file cannot be played, the system's default sound plays instead, unless
// the flags hold SND_NODEFAULT. Every sound plays asynchronously here. False
// when a sound was asked for and none plays.
bool PlaySoundA(const char* sound, HMODULE module, uint32_t flags);

} // namespace Platform
