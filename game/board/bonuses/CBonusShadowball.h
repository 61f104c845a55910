#pragma once

#include <cstdint>

class CAnimTrack;
class CBonusBase;
class CFieldBonuses;
class CGameField;
class CGameProcessor;
class CTrackBase;

// The shadow ball: three timed passes of the field's shadow mode (hiding, acting,
// hiding again) while a turn counter runs forward, faster, then backward.
class CBonusShadowball {
public:
    CBonusShadowball(CGameProcessor& processor, CGameField& field, CBonusBase& base, CTrackBase& tracks,
                     CFieldBonuses& bonuses);
    ~CBonusShadowball();
    CBonusShadowball(const CBonusShadowball&) = delete;
    CBonusShadowball& operator=(const CBonusShadowball&) = delete;

    // Takes the two timers and registers the process kind.
    void Init();
    // Pass 0 starts the shadow ball (again, when it runs); 1 and 2 follow.
    void Activate(int32_t pass);
    void Finish();

    bool Running() const;
    int32_t PassCount() const { return mPass; }
    // The turns counted since the last call, handed over once.
    int32_t TakeTurn();
    const CAnimTrack* PassTimer() const { return mPassTimer; }
    const CAnimTrack* TurnTimer() const { return mTurnTimer; }

private:
    void OnTrackEnd(CAnimTrack& track);

    CGameProcessor& mProcessor;
    CGameField& mField;
    CBonusBase& mBase;
    CTrackBase& mTracks;
    CFieldBonuses& mBonuses;
    CAnimTrack* mPassTimer = nullptr;
    CAnimTrack* mTurnTimer = nullptr;
    float mTurnSpeed = 0.0f;
    int32_t mPass = 0;
    int32_t mTurns = 0;
};
