#include "platform/sound/AudioMixer.h"

#include "platform/process/Clock.h"
#include "platform/sound/SystemMixer.h"

#include <algorithm>
#include <cmath>

namespace Platform {

AudioMixer& AudioMixer::Get()
{
    static AudioMixer mixer;
    return mixer;
}

std::unique_lock<std::recursive_mutex> AudioMixer::Acquire()
{
    std::unique_lock<std::recursive_mutex> lock(mMutex);
    if (mClockDriven)
        CatchUpWithClock();
    return lock;
}

void AudioMixer::CatchUpWithClock()
{
    uint64_t now = GetClock().NowMicros();
    // A clock that went back was replaced (tests install their own): start over from it.
    if (!mClockStarted || now < mLastMicros) {
        mClockStarted = true;
        mClockOrigin = now;
        mFramesSinceOrigin = 0;
        mLastMicros = now;
        return;
    }
    mLastMicros = now;
    uint64_t due = (now - mClockOrigin) * kRate / 1000000;
    while (mFramesSinceOrigin < due) {
        uint64_t step = std::min<uint64_t>(due - mFramesSinceOrigin, 1u << 20);
        Advance(uint32_t(step));
        mFramesSinceOrigin += step;
    }
}

void AudioMixer::Add(MixerSource* source) { mSources.push_back(source); }

void AudioMixer::Remove(MixerSource* source)
{
    mSources.erase(std::remove(mSources.begin(), mSources.end(), source), mSources.end());
}

void AudioMixer::Advance(uint32_t frames)
{
    for (MixerSource* source : mSources)
        source->Render(nullptr, frames);
}

void AudioMixer::Mix(int16_t* out, uint32_t frames)
{
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mMix.assign(size_t(frames) * kChannels, 0.0f);
    for (MixerSource* source : mSources)
        source->Render(mMix.data(), frames);
    float gain = float(GetWaveOutVolume()) / 65535.0f;
    for (size_t i = 0; i < mMix.size(); ++i) {
        float value = std::nearbyint(mMix[i] * gain);
        out[i] = int16_t(std::clamp(value, -32768.0f, 32767.0f));
    }
}

void AudioMixer::SetClockDriven(bool clockDriven)
{
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mClockDriven = clockDriven;
    mClockStarted = false;
}

} // namespace Platform
