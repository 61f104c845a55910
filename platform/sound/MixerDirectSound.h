#pragma once

#include "platform/sound/IDirectSound.h"

#include <atomic>

namespace Platform {

// The sound device over the mixer.
class MixerDirectSound : public IDirectSound {
public:
    MixerDirectSound() = default;

    uint32_t AddRef() override;
    uint32_t Release() override;
    HRESULT SetCooperativeLevel(HWND window, uint32_t level) override;
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) override;
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) override;

protected:
    ~MixerDirectSound() override = default;

private:
    std::atomic<uint32_t> mReferences{1};
    uint32_t mLevel = 0;
};

// The entry point of "dsound.dll": starts the output and makes a device.
HRESULT DirectSoundCreate(const void* device, IDirectSound** sound, void* outer);

} // namespace Platform
