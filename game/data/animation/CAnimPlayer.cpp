#include "game/data/animation/CAnimPlayer.h"

#include "game/data/animation/CAnimTrack.h"

#include <cmath>

void CAnimPlayer::Attach(CAnimTrack* track)
{
    if (track->mAttached)
        return;
    if (track->mRepeatCount < 1)
        track->mRepeatCount = 1;
    track->mPlayer = this;
    track->mAttached = 1;
    track->mActiveIndex = int32_t(mActive.size());
    mActive.push_back(track);
}

void CAnimPlayer::Detach(CAnimTrack* track)
{
    if (!track->mAttached)
        return;
    ClearFinished(track);
    const size_t index = size_t(track->mActiveIndex);
    if (index < mActive.size() && mActive[index] == track) {
        CAnimTrack* last = mActive.back();
        mActive[index] = last;
        last->mActiveIndex = int32_t(index);
        mActive.pop_back();
    }
    track->mAttached = 0;
}

void CAnimPlayer::ClearFinished(CAnimTrack* track)
{
    if (track->mFinishedIndex == CAnimTrack::kNone)
        return;
    const size_t index = size_t(track->mFinishedIndex);
    if (index < mFinished.size() && mFinished[index] == track)
        mFinished[index] = nullptr;
    track->mFinishedIndex = CAnimTrack::kNone;
}

void CAnimPlayer::Update(float dt)
{
    for (size_t i = 0; i < mActive.size(); ++i) {
        if (mActive[i]->mRunning)
            Advance(mActive[i], dt);
    }
}

void CAnimPlayer::Advance(CAnimTrack* track, float dt)
{
    track->mTime = track->mTime + track->mSpeed * dt;
    if (double(track->mTime) <= double(kEnd))
        return;
    float overshoot = track->mTime - kEnd;
    if (!std::isfinite(overshoot))
        overshoot = 0.0f;
    track->mOvershoot = overshoot;

    if (track->mRestart) {
        track->mTime = overshoot - std::floor(overshoot * kWrap) * kEnd;
        return;
    }
    if (track->mRepeatCount < 0)
        return;
    while (track->mRepeatCount > 0) {
        --track->mRepeatCount;
        track->mTime = track->mOvershoot;
        if (double(track->mTime) <= double(kEnd))
            break;
        const float left = track->mTime - kEnd;
        // A step so large that taking one run off changes nothing uses them all.
        if (left == track->mTime) {
            track->mRepeatCount = 0;
            break;
        }
        track->mOvershoot = left;
    }
    if (track->mRepeatCount == 0) {
        track->mTime = kEnd;
        track->mFinishedIndex = int32_t(mFinished.size());
        mFinished.push_back(track);
        track->mRunning = 0;
    }
}
