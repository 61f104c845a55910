#include "framework/audio/SoundInstance.h"

#include "framework/audio/SoundManager.h"
#include "framework/audio/VolumeToDecibels.h"
#include "framework/core/AppLog.h"
#include "platform/sound/IDirectSound.h"

namespace Lumo {

using namespace Platform;

namespace {

const char* DuplicateErrorName(HRESULT result)
{
    switch (result) {
    case DSERR_INVALIDPARAM:
        return "DSERR_INVALIDPARAM";
    case DSERR_OUTOFMEMORY:
        return "DSERR_OUTOFMEMORY";
    case DSERR_ALLOCATED:
        return "DSERR_ALLOCATED";
    case DSERR_INVALIDCALL:
        return "DSERR_INVALIDCALL";
    case DSERR_UNINITIALIZED:
        return "DSERR_UNINITIALIZED";
    default:
        return nullptr;
    }
}

} // namespace

SoundInstance::SoundInstance(SoundManager* owner, IDirectSoundBuffer* source) : mOwner(owner), mSourceBuffer(source)
{
    if (mSourceBuffer) {
        HRESULT result = mOwner->GetDirectSound()->DuplicateSoundBuffer(mSourceBuffer, &mBuffer);
        if (result != DS_OK) {
            // A sound that cannot be copied just stays silent; the game goes on.
            mBuffer = nullptr;
            if (const char* name = DuplicateErrorName(result))
                AppLog::GetInstance()->Printf(AppLog::kToFile, "Sound duplication failed: %s", name);
            else
                AppLog::GetInstance()->Printf(AppLog::kToFile, "Sound duplication failed: 0x%08X", uint32_t(result));
        }
    }
    ApplyVolume();
}

bool SoundInstance::Play(bool looping)
{
    Stop();
    mHasPlayed = true;
    mAutoRelease = true;
    if (!mBuffer)
        return false;
    return mBuffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0) == DS_OK;
}

void SoundInstance::Stop()
{
    if (!mBuffer)
        return;
    mBuffer->Stop();
    mBuffer->SetCurrentPosition(0);
    mAutoRelease = false;
}

void SoundInstance::StopKeepingAutoRelease()
{
    bool autoRelease = mAutoRelease;
    Stop();
    mAutoRelease = autoRelease;
}

void SoundInstance::Release()
{
    Stop();
    mReleased = true;
}

void SoundInstance::SetPan(int32_t pan)
{
    mPan = pan;
    ApplyPan();
}

void SoundInstance::SetBaseVolume(float volume)
{
    mBaseVolume = volume;
    ApplyVolume();
}

void SoundInstance::ApplyVolume()
{
    if (mBuffer)
        mBuffer->SetVolume(VolumeToDecibels(mBaseVolume * mOwner->GetMasterVolume()));
}

void SoundInstance::ApplyPan()
{
    if (mBuffer)
        mBuffer->SetPan(mPan);
}

bool SoundInstance::IsPlaying()
{
    if (!mHasPlayed || !mBuffer)
        return false;
    uint32_t status = 0;
    return mBuffer->GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING) != 0;
}

bool SoundInstance::IsReleased()
{
    if (!mReleased && mAutoRelease && mHasPlayed && !IsPlaying())
        Release();
    return mReleased;
}

void SoundInstance::ReleaseBuffer()
{
    if (mBuffer)
        mBuffer->Release();
    mBuffer = nullptr;
}

} // namespace Lumo
