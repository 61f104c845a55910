#include "platform/sound/MixerDirectSound.h"

#include "platform/sound/AudioOutput.h"
#include "platform/sound/MixerSoundBuffer.h"

#include <new>

namespace Platform {

namespace {

bool ValidPcmFormat(const WAVEFORMATEX* format)
{
    return format && format->wFormatTag == WAVE_FORMAT_PCM && (format->nChannels == 1 || format->nChannels == 2) &&
           (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) && format->nSamplesPerSec >= 100 &&
           format->nSamplesPerSec <= 200000;
}

} // namespace

uint32_t MixerDirectSound::AddRef() { return ++mReferences; }

uint32_t MixerDirectSound::Release()
{
    uint32_t left = --mReferences;
    if (left == 0)
        delete this;
    return left;
}

HRESULT MixerDirectSound::SetCooperativeLevel(HWND window, uint32_t level)
{
    if (!window || (level != DSSCL_NORMAL && level != DSSCL_PRIORITY))
        return DSERR_INVALIDPARAM;
    mLevel = level;
    return DS_OK;
}

HRESULT MixerDirectSound::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer)
{
    if (!desc || !buffer || outer)
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (mLevel == 0)
        return DSERR_UNINITIALIZED;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat)
            return DSERR_INVALIDPARAM;
        *buffer = new MixerSoundBuffer();
        return DS_OK;
    }
    if (!ValidPcmFormat(desc->lpwfxFormat))
        return DSERR_BADFORMAT;
    if (desc->dwBufferBytes == 0 || desc->dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    auto data = std::make_shared<PcmData>();
    data->format = *desc->lpwfxFormat;
    data->format.nBlockAlign = uint16_t(data->format.nChannels * data->format.wBitsPerSample / 8);
    data->format.nAvgBytesPerSec = data->format.nBlockAlign * data->format.nSamplesPerSec;
    data->format.cbSize = 0;
    try {
        data->bytes.assign(desc->dwBufferBytes, data->format.wBitsPerSample == 8 ? 0x80 : 0);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    *buffer = new MixerSoundBuffer(std::move(data), DSBVOLUME_MAX, 0);
    return DS_OK;
}

HRESULT MixerDirectSound::DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate)
{
    if (!original || !duplicate)
        return DSERR_INVALIDPARAM;
    auto* buffer = dynamic_cast<MixerSoundBuffer*>(original);
    if (!buffer)
        return DSERR_INVALIDPARAM;
    *duplicate = buffer->Duplicate();
    return *duplicate ? DS_OK : DSERR_INVALIDCALL;
}

HRESULT DirectSoundCreate(const void* device, IDirectSound** sound, void* outer)
{
    if (!sound || device || outer)
        return DSERR_INVALIDPARAM;
    AudioOutput::Start();
    *sound = new MixerDirectSound();
    return DS_OK;
}

} // namespace Platform
