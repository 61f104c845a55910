#pragma once

#include <cstdint>

// The level's energy count and the panel's bar that shows it: what the
// energy bonus and the cost of every landing change.
class CEnergyMeter {
public:
    virtual ~CEnergyMeter() = default;

    virtual int32_t Energy() const = 0;
    virtual void SetEnergy(int32_t energy) = 0;
    // The panel's bar, in percent; immediate jumps, else it counts at speed.
    virtual void ShowEnergy(int32_t percent, bool immediate, float speed) = 0;
    // Marks the level's values as changed for the panel and the end test.
    virtual void SetChanged() = 0;
};

// Energy is capped at 1000 but has no floor here: the level decides what a
// negative count means.
void AddEnergy(CEnergyMeter& level, int32_t amount, bool immediate);
