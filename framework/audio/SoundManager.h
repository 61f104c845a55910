#pragma once

#include "framework/audio/SoundInstance.h"
#include "framework/resources/PakFileHandle.h"
#include "platform/storage/Files.h"
#include "platform/sound/IDirectSound.h"
#include "platform/process/Modules.h"
#include "platform/sound/VorbisFile.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <string>

namespace Lumo {

// The sound effects: up to 256 loaded sounds, each in one static buffer, and
// up to 32 playing instances that copy them. Without a window, or without a
// sound device, everything works and nothing is heard.
class SoundManager {
public:
    static constexpr uint32_t kMaxSounds = 256;
    static constexpr int32_t kMaxInstances = 32;
    // The key that scrambles the samples of the sound cache.
    static constexpr uint8_t kCacheKey = 0xA7;

    // soundModule is the application's "dsound.dll" (null when it has none).
    SoundManager(Platform::HWND window, Platform::HMODULE soundModule);
    virtual ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // name has no extension: the cache, then name.wav, then name.ogg.
    bool LoadSound(uint32_t id, const std::string& name);
    void ReleaseSound(uint32_t id);
    bool SetBaseVolume(uint32_t id, float volume);
    // A new, stopped instance; null for an unknown id, an unloaded sound or when all slots are busy.
    SoundInstance* GetSoundInstance(uint32_t id);
    void SetMasterVolume(float volume);
    float GetMasterVolume() const { return mMasterVolume; }
    void StopAllSounds();
    int32_t GetLoadedSoundCount() const;
    float GetWaveMixerVolume();
    void SetWaveMixerVolume(float volume);
    void SetCooperativeWindow(Platform::HWND window);
    void ReleaseAllSounds();
    void DeleteAllInstances();
    void ReleaseFinishedInstances();
    int32_t FindFreeInstanceSlot();
    Platform::IDirectSound* GetDirectSound() const { return mDirectSound; }

    bool LoadWav(uint32_t id, const std::string& file);
    bool LoadOgg(uint32_t id, const std::string& file);
    static int OpenOgg(PakFileHandle* file, Platform::VorbisFile** vorbis);
    static int OggSeekCallback(void* file, int64_t offset, int origin);
    bool WriteCachedWav(uint32_t id, const std::string& source, const std::string& cachePath);
    static bool GetFileWriteTime(const std::string& name, Platform::FILETIME* time);

private:
    // The id's static buffer for data of that format and size; false (entry empty) on failure.
    bool CreateStaticBuffer(uint32_t id, uint16_t channels, uint32_t rate, uint16_t bits, uint32_t bytes);
    void DeleteInstance(int32_t slot);

    Platform::IDirectSoundBuffer* mSoundBuffers[kMaxSounds] = {};
    Platform::IDirectSoundBuffer* mPrimaryBuffer = nullptr;
    uint32_t mDataSizes[kMaxSounds] = {};
    float mBaseVolumes[kMaxSounds];
    SoundInstance* mInstances[kMaxInstances] = {};
    float mMasterVolume = 1.0f;
    uint32_t mLastSweep = 0;
    Platform::IDirectSound* mDirectSound = nullptr;
};

} // namespace Lumo
