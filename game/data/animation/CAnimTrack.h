#pragma once

#include <cstdint>

class CAnimPlayer;
class CCurveBase;
class TiXmlElement;
struct CCurve;

// The normalised clock behind every motion, fade and wait: time runs from 0
// towards 0.9999 at speed per unit of update time, optionally repeating or
// wrapping, and may carry a curve that turns the time into a value. One record
// serves as a named definition and as a running track; the owner tag, player,
// active index, state and attached flag belong to the running track only and
// survive CopyDefinition.
class CAnimTrack {
public:
    static constexpr int32_t kNone = -2;
    enum State : int32_t { kCreated = 0, kTaken = 1, kFreed = 2 };

    const CCurve* mCurve = nullptr;
    int32_t mOwnerTag = kNone;
    CAnimPlayer* mPlayer = nullptr;
    int32_t mActiveIndex = 0;
    int32_t mFinishedIndex = kNone;
    float mOvershoot = 0.0f;
    float mTime = 0.0f;
    float mSpeed = 0.0f;
    int32_t mRepeatCount = 1;
    int32_t mState = kCreated;
    uint8_t mRestart = 0;
    uint8_t mRunning = 0;
    uint8_t mAttached = 0;
    uint8_t mTurnBack = 0;
    int32_t mPoolIndex = 0;

    // Copies the definition fields of definition onto track.
    static void CopyDefinition(CAnimTrack* track, const CAnimTrack& definition);

    // Reads one definition ("speed", "dorestart", "doturnback", "repeat" and
    // the curve channels registered in curves under the element's name).
    // False, logged, when the speed is absent or one no track can run at: the
    // definition then runs at kRefusedSpeed.
    bool LoadFromXml(const TiXmlElement* element, CCurveBase& curves);
};
