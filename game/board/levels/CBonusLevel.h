#pragma once

#include <cstdint>

// What the bonuses that score ask of the level: the match points of a group
// and points added to the level's counters (with its progress, panel and
// changed flag).
class CBonusLevel {
public:
    virtual ~CBonusLevel() = default;

    // A size the level's table does not list gets the table's highest points.
    virtual int32_t MatchPoints(int32_t groupSize) const = 0;
    virtual void AddPoints(int32_t points) = 0;
};
