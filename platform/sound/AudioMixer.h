#pragma once

#include "platform/sound/MixerSource.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace Platform {

// The one mixer of the process: 44.1 kHz, 16-bit, stereo. Sound buffers and
// music channels are its sources. An output device pulls mixed samples from
// its own thread; without one the clock drives the mixer, so sounds end on
// time although nothing is heard.
class AudioMixer {
public:
    static constexpr uint32_t kRate = 44100;
    static constexpr uint32_t kChannels = 2;

    static AudioMixer& Get();

    // Locks the state of the mixer and of every source. When the clock drives
    // the mixer, it first moves on to the clock's present.
    std::unique_lock<std::recursive_mutex> Acquire();

    // With the lock held.
    void Add(MixerSource* source);
    void Remove(MixerSource* source);
    // Moves every source on without output; with the lock held.
    void Advance(uint32_t frames);

    // Mixes frames of interleaved stereo, scaled by the system's wave volume;
    // takes the lock itself. The device's callback calls it.
    void Mix(int16_t* out, uint32_t frames);

    // False once a device pulls the samples.
    void SetClockDriven(bool clockDriven);

private:
    AudioMixer() = default;
    void CatchUpWithClock();

    std::recursive_mutex mMutex;
    std::vector<MixerSource*> mSources;
    std::vector<float> mMix;
    bool mClockDriven = true;
    bool mClockStarted = false;
    uint64_t mClockOrigin = 0;
    uint64_t mLastMicros = 0;
    uint64_t mFramesSinceOrigin = 0;
};

} // namespace Platform
