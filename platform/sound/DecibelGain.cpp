#include "platform/sound/DecibelGain.h"

#include "platform/sound/SoundTypes.h"

#include <cmath>

namespace Platform {

float DecibelGain(int32_t hundredths)
{
    if (hundredths <= DSBVOLUME_MIN)
        return 0.0f;
    if (hundredths >= 0)
        return 1.0f;
    return float(std::pow(10.0, hundredths / 2000.0));
}

} // namespace Platform
