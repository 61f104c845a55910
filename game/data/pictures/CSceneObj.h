#pragma once

#include <cstdint>

class CAnimTrack;
struct CAnimInstance;

// A scene object definition: an image or a frame animation at a position and
// scale, optionally moved by a track and tinted by a colour track.
struct CSceneObjDef {
    int32_t mFrameAnim = 0;
    int32_t mMoveTrack = 0;
    int32_t mColorTrack = 0;
    int32_t mSlot = -2;
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mScaleX = 1;
    int32_t mScaleY = 1;
    bool mHasFrameAnim = false;
    bool mHasMoveTrack = false;
    bool mHasColorTrack = false;
};

// An instance owned by the component that spawned it; mUser is the owner's to use.
struct CSceneObj {
    CAnimInstance* mFrameAnim = nullptr;
    CAnimTrack* mMoveTrack = nullptr;
    CAnimTrack* mColorTrack = nullptr;
    int32_t mSlot = -2;
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mUser = 0;
    int32_t mScaleX = 1;
    int32_t mScaleY = 1;
};
