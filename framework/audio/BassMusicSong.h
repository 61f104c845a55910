#pragma once

#include "platform/sound/MusicLibraryTypes.h"

#include <cstdint>

namespace Lumo {

// One song of the music player: its library handle and its fade state.
struct BassMusicSong {
    Platform::HMUSIC mModule = 0;
    Platform::HSTREAM mStream = 0;
    float mVolume = 0.0f;
    // Added to the volume at each update; 0 = not fading.
    float mFadeStep = 0.0f;
    float mMaxVolume = 1.0f;
    bool mStopWhenSilent = false;
    bool mPaused = false;
    // When the fade-out reaches 0, the next song fades in.
    bool mChainPending = false;
    int32_t mNextId = 0;
    int32_t mNextOffset = 0;
    float mNextStep = 0.0f;

    Platform::DWORD Channel() const { return mModule ? mModule : mStream; }
    bool HasHandle() const { return mModule != 0 || mStream != 0; }
};

} // namespace Lumo
