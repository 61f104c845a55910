#pragma once

class CAnimTrack;
struct CFieldBlock;

// What the game processor asks of the bonuses while it runs the turn.
class CBonusHooks {
public:
    virtual ~CBonusHooks() = default;

    // Takes every bonus off the field, giving its amount back when giveBack is set.
    virtual void ClearFieldBonuses(bool giveBack) = 0;
    // A block that leaves the field: its bonus leaves with it and may come again.
    virtual void TakeOffWithBlock(CFieldBlock& block) = 0;
    // The time bonus holds the points drain while it runs.
    virtual bool TimeBonusRunning() const = 0;
    // The sniper marks the matched groups with its aiming track on every landing.
    virtual bool SniperRunning() const = 0;
    virtual CAnimTrack* SniperAimTrack() = 0;
    virtual bool ShellActive() const = 0;
    // The shell's step on a block the ball landed on without a score.
    virtual void ShellLanding(CFieldBlock& block) = 0;
    virtual void ShellFinish() = 0;
    // Play starts: the first bonus sample plays even when it was the last one before.
    virtual void ForgetLastSample() = 0;
};
