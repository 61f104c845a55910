#pragma once

#include "platform/sound/IDirectSoundBuffer.h"
#include "platform/sound/SoundTypes.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>

namespace Platform {

// The sound device: makes the buffers that play through the one mixer.
class IDirectSound {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

    virtual HRESULT SetCooperativeLevel(HWND window, uint32_t level) = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) = 0;
    virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) = 0;

protected:
    virtual ~IDirectSound() = default;
};

// The entry point "DirectSoundCreate" of the module "dsound.dll"; a null
// device names the default one.
using DirectSoundCreateProc = HRESULT (*)(const void* device, IDirectSound** sound, void* outer);

} // namespace Platform
