#pragma once

#include <cstdint>

class CAnimTrack;
class CBall;
class CFieldActivity;
class CFieldBonuses;
class CGameField;
class CGameProcessor;
class CTrackBase;
struct SpinRing;

// The randomize bonus: the field's spin rings lift its blocks, spin them and
// set them down on new colours, while the ball waits and the field takes no clicks.
class CBonusRandomize {
public:
    CBonusRandomize(CGameProcessor& processor, CGameField& field, CBall& ball, CTrackBase& tracks,
                    CFieldActivity& activity, CFieldBonuses& bonuses);
    CBonusRandomize(const CBonusRandomize&) = delete;
    CBonusRandomize& operator=(const CBonusRandomize&) = delete;

    // Registers the two process kinds and the bonus's effect.
    void Init();
    // Does nothing while a shuffle runs.
    void Activate();

    bool Running() const { return mRunning != 0; }
    int32_t RingsLeft() const { return mRingsLeft; }

private:
    void StartRing(SpinRing& ring);
    void OnRingTrack(CAnimTrack& track, int32_t slot);
    void OnColourTimer(CAnimTrack& track);
    void End();

    CGameProcessor& mProcessor;
    CGameField& mField;
    CBall& mBall;
    CTrackBase& mTracks;
    CFieldActivity& mActivity;
    CFieldBonuses& mBonuses;
    uint8_t mRunning = 0;
    int32_t mRingsLeft = 0;
};
