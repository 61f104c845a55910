#pragma once

#include "platform/sound/ModuleVoice.h"
#include "platform/sound/MusicLibraryTypes.h"
#include "platform/sound/PcmVoice.h"

#include <memory>

namespace Platform {

// A channel of the music library: a module or a decoded stream, with its
// attributes. Guarded by the mixer's lock.
struct MusicChannel {
    std::unique_ptr<ModuleVoice> module;
    std::shared_ptr<const PcmData> pcm;
    std::unique_ptr<PcmVoice> stream;
    // 0..100.
    int32_t volume = 100;
    // -100 (left) .. 100 (right).
    int32_t pan = 0;
    DWORD amplify = 50;
    bool paused = false;
    // Paused by BASS_Stop, to play on at BASS_Start.
    bool held = false;

    MixerVoice& Voice() { return module ? static_cast<MixerVoice&>(*module) : *stream; }
    // Stop, play and pause by the caller all end a hold.
    void SetRunState(bool playing, bool pausedByCaller)
    {
        Voice().SetPlaying(playing);
        paused = pausedByCaller;
        held = false;
    }
};

} // namespace Platform
