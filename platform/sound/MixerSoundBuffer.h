#pragma once

#include "platform/sound/IDirectSoundBuffer.h"
#include "platform/sound/PcmData.h"
#include "platform/sound/PcmVoice.h"

#include <atomic>
#include <memory>

namespace Platform {

// A sound buffer playing through the mixer. The primary buffer only carries
// the output format; the others own a voice over their (shared) data.
class MixerSoundBuffer final : public IDirectSoundBuffer {
public:
    // The primary buffer.
    MixerSoundBuffer();
    // A buffer over data, with the volume and pan it starts with.
    MixerSoundBuffer(std::shared_ptr<PcmData> data, int32_t volume, int32_t pan);

    // A new buffer sharing this one's data, volume and pan; null for the primary buffer.
    MixerSoundBuffer* Duplicate();

    uint32_t AddRef() override;
    uint32_t Release() override;
    HRESULT GetFormat(WAVEFORMATEX* format, uint32_t sizeAllocated, uint32_t* sizeWritten) override;
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT Lock(uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* bytes1, void** ptr2, uint32_t* bytes2,
                 uint32_t flags) override;
    HRESULT Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override;
    HRESULT SetVolume(int32_t volume) override;
    HRESULT SetPan(int32_t pan) override;
    HRESULT Play(uint32_t reserved, uint32_t priority, uint32_t flags) override;
    HRESULT Stop() override;
    HRESULT SetCurrentPosition(uint32_t bytes) override;
    HRESULT GetStatus(uint32_t* status) override;

private:
    ~MixerSoundBuffer() override;
    // With the mixer's lock held.
    void ApplyGains();

    std::atomic<uint32_t> mReferences{1};
    std::shared_ptr<PcmData> mData;
    std::unique_ptr<PcmVoice> mVoice;
    WAVEFORMATEX mPrimaryFormat;
    int32_t mVolume = 0;
    int32_t mPan = 0;
    bool mLocked = false;
};

} // namespace Platform
