#pragma once

#include <vector>

class CAnimTrack;

// Advances the tracks attached to it and lists those that finished. The
// owner walks mFinished after each Update, skipping null entries (tracks
// detached or cleared since), sets each track's finished index to -2, acts on
// its owner tag, and then empties the list.
class CAnimPlayer {
public:
    // Ends of a run: a track is done at kEnd, and a wrapping track folds its
    // overshoot back with kWrap.
    static constexpr float kEnd = 0.9999f;
    static constexpr float kWrap = 1.0001f;

    // Nothing when the track is attached already; a repeat count below 1 becomes 1.
    void Attach(CAnimTrack* track);
    // Nothing when the track is not attached; its running state and time stay.
    void Detach(CAnimTrack* track);
    // Takes the track off the finished list (its entry becomes null).
    void ClearFinished(CAnimTrack* track);
    void Update(float dt);

    std::vector<CAnimTrack*> mFinished;
    std::vector<CAnimTrack*> mActive;

private:
    void Advance(CAnimTrack* track, float dt);
};
