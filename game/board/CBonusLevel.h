#pragma once

#include <cstdint>

// What the bonuses that score and empty cells ask of the level and of the
// field step: the match points of a group, points added to the level's
// counters (with its progress, panel and changed flag), and the field step
// that closes the lines at once after a bonus has taken blocks off.
class CBonusLevel {
public:
    virtual ~CBonusLevel() = default;

    // A size the level's table does not list gets the table's highest points.
    virtual int32_t MatchPoints(int32_t groupSize) const = 0;
    virtual void AddPoints(int32_t points) = 0;
    // Sets the processor's settle timer and step delay speed, then runs the
    // field step without its timer.
    virtual void StepAfterBonus(float settleTime, float stepDelaySpeed) = 0;
};
