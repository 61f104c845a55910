#include "framework/audio/SoundManager.h"

#include "framework/audio/WaveVolumeControl.h"
#include "platform/process/Clock.h"

#include <algorithm>

namespace Lumo {

using namespace Platform;

namespace {

constexpr uint32_t kSweepIntervalMillis = 1000;

} // namespace

SoundManager::SoundManager(HWND window, HMODULE soundModule)
{
    std::fill(std::begin(mBaseVolumes), std::end(mBaseVolumes), 1.0f);
    if (!window || !soundModule)
        return;
    auto create = reinterpret_cast<DirectSoundCreateProc>(GetProcAddress(soundModule, "DirectSoundCreate"));
    if (!create || create(nullptr, &mDirectSound, nullptr) != DS_OK) {
        mDirectSound = nullptr;
        return;
    }
    if (mDirectSound->SetCooperativeLevel(window, DSSCL_PRIORITY) != DS_OK) {
        mDirectSound->SetCooperativeLevel(window, DSSCL_NORMAL);
        return;
    }
    DSBUFFERDESC desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (mDirectSound->CreateSoundBuffer(&desc, &mPrimaryBuffer, nullptr) != DS_OK) {
        mPrimaryBuffer = nullptr;
        return;
    }
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 176400;
    mPrimaryBuffer->SetFormat(&format);
}

SoundManager::~SoundManager()
{
    DeleteAllInstances();
    ReleaseAllSounds();
    if (mPrimaryBuffer)
        mPrimaryBuffer->Release();
    if (mDirectSound)
        mDirectSound->Release();
}

void SoundManager::ReleaseSound(uint32_t id)
{
    if (mSoundBuffers[id])
        mSoundBuffers[id]->Release();
    mSoundBuffers[id] = nullptr;
}

bool SoundManager::SetBaseVolume(uint32_t id, float volume)
{
    if (id >= kMaxSounds)
        return false;
    mBaseVolumes[id] = volume;
    return true;
}

void SoundManager::DeleteInstance(int32_t slot)
{
    mInstances[slot]->ReleaseBuffer();
    delete mInstances[slot];
    mInstances[slot] = nullptr;
}

int32_t SoundManager::FindFreeInstanceSlot()
{
    uint32_t now = GetTickCount();
    if (now - mLastSweep > kSweepIntervalMillis) {
        ReleaseFinishedInstances();
        mLastSweep = now;
    }
    for (int32_t slot = 0; slot < kMaxInstances; ++slot) {
        if (!mInstances[slot])
            return slot;
        if (mInstances[slot]->IsReleased()) {
            DeleteInstance(slot);
            return slot;
        }
    }
    return -1;
}

SoundInstance* SoundManager::GetSoundInstance(uint32_t id)
{
    if (id >= kMaxSounds)
        return nullptr;
    int32_t slot = FindFreeInstanceSlot();
    if (slot < 0)
        return nullptr;
    IDirectSoundBuffer* source = nullptr;
    if (mDirectSound) {
        source = mSoundBuffers[id];
        if (!source)
            return nullptr;
    }
    auto* instance = new SoundInstance(this, source);
    if (source && !instance->HasBuffer()) {
        delete instance;
        return nullptr;
    }
    mInstances[slot] = instance;
    instance->SetPan(0);
    instance->SetBaseVolume(mBaseVolumes[id]);
    return instance;
}

void SoundManager::SetMasterVolume(float volume)
{
    mMasterVolume = volume;
    for (SoundInstance* instance : mInstances)
        if (instance)
            instance->ApplyVolume();
}

void SoundManager::StopAllSounds()
{
    for (SoundInstance* instance : mInstances)
        if (instance)
            instance->StopKeepingAutoRelease();
}

int32_t SoundManager::GetLoadedSoundCount() const
{
    return int32_t(std::count_if(std::begin(mSoundBuffers), std::end(mSoundBuffers),
                                 [](IDirectSoundBuffer* buffer) { return buffer != nullptr; }));
}

float SoundManager::GetWaveMixerVolume() { return float(WaveVolumeControl().Read()) / 65535.0f; }

void SoundManager::SetWaveMixerVolume(float volume)
{
    WaveVolumeControl().Write(uint32_t(std::clamp(volume, 0.0f, 1.0f) * 65535.0f));
}

void SoundManager::SetCooperativeWindow(HWND window)
{
    if (mDirectSound)
        mDirectSound->SetCooperativeLevel(window, DSSCL_NORMAL);
}

void SoundManager::ReleaseAllSounds()
{
    for (uint32_t id = 0; id < kMaxSounds; ++id)
        ReleaseSound(id);
}

void SoundManager::DeleteAllInstances()
{
    for (int32_t slot = 0; slot < kMaxInstances; ++slot)
        if (mInstances[slot])
            DeleteInstance(slot);
}

void SoundManager::ReleaseFinishedInstances()
{
    for (int32_t slot = 0; slot < kMaxInstances; ++slot)
        if (mInstances[slot] && mInstances[slot]->IsReleased())
            DeleteInstance(slot);
}

} // namespace Lumo
