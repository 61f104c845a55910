#pragma once

#include "platform/sound/IDirectSoundBuffer.h"

#include <cstdint>

namespace Lumo {

class SoundManager;

// One playing copy of a loaded sound: a duplicate of the sound's buffer.
// The manager owns it; a caller may use it until it calls Release or, when it
// played it once without looping, until it has stopped.
class SoundInstance {
public:
    // With a source, duplicates it through the owner's sound device; a failed
    // duplication is logged and leaves the instance without a buffer.
    SoundInstance(SoundManager* owner, Platform::IDirectSoundBuffer* source);

    bool Play(bool looping);
    void Stop();
    // Stop that keeps the auto-release flag, so that a played instance is still reclaimed.
    void StopKeepingAutoRelease();
    void Release();
    void SetPan(int32_t pan);
    void SetBaseVolume(float volume);
    void ApplyVolume();
    void ApplyPan();
    bool IsPlaying();
    bool IsReleased();
    void ReleaseBuffer();
    bool HasBuffer() const { return mBuffer != nullptr; }

private:
    SoundManager* mOwner;
    Platform::IDirectSoundBuffer* mSourceBuffer;
    Platform::IDirectSoundBuffer* mBuffer = nullptr;
    bool mAutoRelease = false;
    bool mHasPlayed = false;
    bool mReleased = false;
    float mBaseVolume = 1.0f;
    int32_t mPan = 0;
};

} // namespace Lumo
