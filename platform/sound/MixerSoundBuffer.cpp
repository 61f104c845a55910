#include "platform/sound/MixerSoundBuffer.h"

#include "platform/sound/AudioMixer.h"
#include "platform/sound/DecibelGain.h"

#include <algorithm>

namespace Platform {

MixerSoundBuffer::MixerSoundBuffer()
{
    mPrimaryFormat.wFormatTag = WAVE_FORMAT_PCM;
    mPrimaryFormat.nChannels = AudioMixer::kChannels;
    mPrimaryFormat.nSamplesPerSec = AudioMixer::kRate;
    mPrimaryFormat.wBitsPerSample = 16;
    mPrimaryFormat.nBlockAlign = 4;
    mPrimaryFormat.nAvgBytesPerSec = AudioMixer::kRate * 4;
}

MixerSoundBuffer::MixerSoundBuffer(std::shared_ptr<PcmData> data, int32_t volume, int32_t pan)
    : mData(std::move(data)), mVoice(std::make_unique<PcmVoice>(mData)), mVolume(volume), mPan(pan)
{
    auto lock = AudioMixer::Get().Acquire();
    ApplyGains();
    AudioMixer::Get().Add(mVoice.get());
}

MixerSoundBuffer::~MixerSoundBuffer()
{
    if (mVoice) {
        auto lock = AudioMixer::Get().Acquire();
        AudioMixer::Get().Remove(mVoice.get());
    }
}

MixerSoundBuffer* MixerSoundBuffer::Duplicate()
{
    return mData ? new MixerSoundBuffer(mData, mVolume, mPan) : nullptr;
}

uint32_t MixerSoundBuffer::AddRef() { return ++mReferences; }

uint32_t MixerSoundBuffer::Release()
{
    uint32_t left = --mReferences;
    if (left == 0)
        delete this;
    return left;
}

HRESULT MixerSoundBuffer::GetFormat(WAVEFORMATEX* format, uint32_t sizeAllocated, uint32_t* sizeWritten)
{
    if (!format && !sizeWritten)
        return DSERR_INVALIDPARAM;
    if (!format) {
        *sizeWritten = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    if (sizeAllocated < sizeof(WAVEFORMATEX))
        return DSERR_INVALIDPARAM;
    *format = mData ? mData->format : mPrimaryFormat;
    if (sizeWritten)
        *sizeWritten = sizeof(WAVEFORMATEX);
    return DS_OK;
}

HRESULT MixerSoundBuffer::SetFormat(const WAVEFORMATEX* format)
{
    if (mData)
        return DSERR_INVALIDCALL;
    if (!format || format->wFormatTag != WAVE_FORMAT_PCM)
        return DSERR_BADFORMAT;
    // The device keeps mixing at its own rate; the format is only remembered.
    mPrimaryFormat = *format;
    return DS_OK;
}

HRESULT MixerSoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* bytes1, void** ptr2,
                               uint32_t* bytes2, uint32_t)
{
    if (!mData)
        return DSERR_INVALIDCALL;
    if (!ptr1 || !bytes1 || mLocked || offset > mData->bytes.size() || bytes > mData->bytes.size() - offset)
        return DSERR_INVALIDPARAM;
    mLocked = true;
    *ptr1 = mData->bytes.data() + offset;
    *bytes1 = bytes;
    if (ptr2)
        *ptr2 = nullptr;
    if (bytes2)
        *bytes2 = 0;
    return DS_OK;
}

HRESULT MixerSoundBuffer::Unlock(void* ptr1, uint32_t, void*, uint32_t)
{
    if (!mLocked)
        return DSERR_INVALIDCALL;
    uint8_t* first = mData->bytes.data();
    uint8_t* pointer = static_cast<uint8_t*>(ptr1);
    if (pointer < first || pointer > first + mData->bytes.size())
        return DSERR_INVALIDPARAM;
    mLocked = false;
    return DS_OK;
}

void MixerSoundBuffer::ApplyGains()
{
    float volume = DecibelGain(mVolume);
    mVoice->SetGains(volume * DecibelGain(mPan > 0 ? -mPan : 0), volume * DecibelGain(mPan < 0 ? mPan : 0));
}

HRESULT MixerSoundBuffer::SetVolume(int32_t volume)
{
    if (!mVoice)
        return DSERR_INVALIDCALL;
    if (volume < DSBVOLUME_MIN)
        return DSERR_INVALIDPARAM;
    auto lock = AudioMixer::Get().Acquire();
    mVolume = std::min(volume, DSBVOLUME_MAX);
    ApplyGains();
    return DS_OK;
}

HRESULT MixerSoundBuffer::SetPan(int32_t pan)
{
    if (!mVoice)
        return DSERR_INVALIDCALL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    auto lock = AudioMixer::Get().Acquire();
    mPan = pan;
    ApplyGains();
    return DS_OK;
}

HRESULT MixerSoundBuffer::Play(uint32_t, uint32_t, uint32_t flags)
{
    if (!mVoice)
        return DSERR_INVALIDCALL;
    auto lock = AudioMixer::Get().Acquire();
    mVoice->SetLooping((flags & DSBPLAY_LOOPING) != 0);
    mVoice->SetPlaying(true);
    return DS_OK;
}

HRESULT MixerSoundBuffer::Stop()
{
    if (!mVoice)
        return DSERR_INVALIDCALL;
    auto lock = AudioMixer::Get().Acquire();
    mVoice->SetPlaying(false);
    return DS_OK;
}

HRESULT MixerSoundBuffer::SetCurrentPosition(uint32_t bytes)
{
    if (!mVoice)
        return DSERR_INVALIDCALL;
    auto lock = AudioMixer::Get().Acquire();
    mVoice->SetPositionBytes(bytes);
    return DS_OK;
}

HRESULT MixerSoundBuffer::GetStatus(uint32_t* status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = 0;
    if (!mVoice)
        return DS_OK;
    auto lock = AudioMixer::Get().Acquire();
    if (mVoice->IsPlaying())
        *status = DSBSTATUS_PLAYING | (mVoice->IsLooping() ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

} // namespace Platform
