#pragma once

#include <cstdint>

// The eight bonuses, in the order of their elements in the bonus file.
enum BonusId : int32_t {
    kBonusSniper = 0,
    kBonusRandomize = 1,
    kBonusShadowBall = 2,
    kBonusShell = 3,
    kBonusPowerBall = 4,
    kBonusBomb = 5,
    kBonusEnergy = 6,
    kBonusTime = 7,
    kBonusCount = 8,
};
