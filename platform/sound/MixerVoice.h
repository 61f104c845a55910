#pragma once

#include "platform/sound/MixerSource.h"

namespace Platform {

// A source that plays, stops and repeats, with a gain for each side. Every
// call needs the mixer's lock.
class MixerVoice : public MixerSource {
public:
    void SetPlaying(bool playing) { mPlaying = playing; }
    bool IsPlaying() const { return mPlaying; }
    virtual void SetLooping(bool looping) { mLooping = looping; }
    bool IsLooping() const { return mLooping; }
    void SetGains(float left, float right)
    {
        mLeftGain = left;
        mRightGain = right;
    }

protected:
    bool mPlaying = false;
    bool mLooping = false;
    float mLeftGain = 1.0f;
    float mRightGain = 1.0f;
};

} // namespace Platform
