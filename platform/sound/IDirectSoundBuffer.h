#pragma once

#include "platform/sound/SoundTypes.h"

#include <cstdint>

namespace Platform {

// A sound buffer: its PCM data, a play position, volume and pan. Duplicates
// share the data but play on their own.
class IDirectSoundBuffer {
public:
    virtual uint32_t AddRef() = 0;
    // Frees the buffer when the last reference goes; returns the references left.
    virtual uint32_t Release() = 0;

    // With a null format, sizeWritten receives the size the format needs.
    virtual HRESULT GetFormat(WAVEFORMATEX* format, uint32_t sizeAllocated, uint32_t* sizeWritten) = 0;
    // The primary buffer only: the output format.
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    // A static buffer hands out one block: ptr2 comes back null.
    virtual HRESULT Lock(uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* bytes1, void** ptr2,
                         uint32_t* bytes2, uint32_t flags) = 0;
    virtual HRESULT Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) = 0;

    // DSBVOLUME_MIN..DSBVOLUME_MAX; louder values play at DSBVOLUME_MAX.
    virtual HRESULT SetVolume(int32_t volume) = 0;
    virtual HRESULT SetPan(int32_t pan) = 0;
    // Plays from the current position; DSBPLAY_LOOPING repeats the data.
    virtual HRESULT Play(uint32_t reserved, uint32_t priority, uint32_t flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT SetCurrentPosition(uint32_t bytes) = 0;
    virtual HRESULT GetStatus(uint32_t* status) = 0;

protected:
    virtual ~IDirectSoundBuffer() = default;
};

} // namespace Platform
