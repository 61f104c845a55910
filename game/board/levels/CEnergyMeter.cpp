#include "game/board/levels/CEnergyMeter.h"

#include "game/data/CGameConfig.h"

#include <algorithm>
#include <limits>

void AddEnergy(CEnergyMeter& level, int32_t amount, bool immediate)
{
    // Summed wide so that a hostile amount cannot overflow the count.
    const int64_t sum = int64_t(level.Energy()) + amount;
    const int32_t energy = int32_t(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), 1000));
    level.SetEnergy(energy);
    level.ShowEnergy(energy / 10, immediate, CGameConfig::live.energySpeed);
    level.SetChanged();
}
