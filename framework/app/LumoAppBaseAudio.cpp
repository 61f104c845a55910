#include "framework/app/LumoAppBase.h"

#include "framework/audio/MusicInterface.h"
#include "framework/audio/SoundInstance.h"
#include "framework/audio/SoundManager.h"

namespace Lumo {

void LumoAppBase::PlaySoundPanned(int id, int pan)
{
    if (!mSoundManager)
        return;
    if (SoundInstance* instance = mSoundManager->GetSoundInstance(uint32_t(id))) {
        instance->SetPan(pan);
        instance->Play(false);
    }
}

void LumoAppBase::PlaySoundById(int id)
{
    if (!mSoundManager)
        return;
    if (SoundInstance* instance = mSoundManager->GetSoundInstance(uint32_t(id)))
        instance->Play(false);
}

float LumoAppBase::GetSystemVolume()
{
    return mSoundManager ? mSoundManager->GetWaveMixerVolume() : 0.0f;
}

// The mixer's level is not a setting of the application: the stored sound
// volume stays as it is.
void LumoAppBase::SetSystemVolume(float volume)
{
    if (mSoundManager)
        mSoundManager->SetWaveMixerVolume(volume);
}

float LumoAppBase::GetMusicVolume()
{
    return mMusicVolume;
}

float LumoAppBase::GetSfxVolume()
{
    return mSfxVolume;
}

bool LumoAppBase::IsMuted()
{
    return mMuteCount > 0;
}

void LumoAppBase::SetMusicVolume(float volume)
{
    mMusicVolume = volume;
    if (mMusicInterface)
        mMusicInterface->SetVolume(IsMuted() ? 0.0f : volume);
}

void LumoAppBase::SetSfxVolume(float volume)
{
    mSfxVolume = volume;
    if (mSoundManager)
        mSoundManager->SetMasterVolume(IsMuted() ? 0.0f : volume);
}

void LumoAppBase::PushMute(bool automatic)
{
    ++mMuteCount;
    if (automatic)
        ++mAutoMuteCount;
    SetMusicVolume(mMusicVolume);
    SetSfxVolume(mSfxVolume);
}

void LumoAppBase::PopMute(bool automatic)
{
    if (mMuteCount > 0) {
        --mMuteCount;
        if (automatic)
            --mAutoMuteCount;
    }
    SetMusicVolume(mMusicVolume);
    SetSfxVolume(mSfxVolume);
}

} // namespace Lumo
