#pragma once

#include <cstdint>

class CAnimTrack;
class CGameProcessor;
class CTrackBase;

// The time bonus: the points of a timed level stop draining while its timer runs.
class CBonusTime {
public:
    CBonusTime(CGameProcessor& processor, CTrackBase& tracks);
    ~CBonusTime();
    CBonusTime(const CBonusTime&) = delete;
    CBonusTime& operator=(const CBonusTime&) = delete;

    // Takes the timer and registers the bonus's process kind.
    void Init();
    // A second activation restarts the timer in the same process.
    bool Activate(float speed);
    // The timer has ended, or the processor stops it.
    void Update();
    bool Running() const { return mRunning != 0; }
    const CAnimTrack* Timer() const { return mTimer; }

private:
    CGameProcessor& mProcessor;
    CTrackBase& mTracks;
    CAnimTrack* mTimer = nullptr;
    uint8_t mRunning = 0;
};
