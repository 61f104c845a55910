#include "framework/audio/VolumeToDecibels.h"

#include <algorithm>
#include <cmath>

namespace Lumo {

namespace {

constexpr int32_t kSilence = -10000;

} // namespace

int32_t VolumeToDecibels(float volume)
{
    float scaled = volume * 9.0f + 1.0f;
    // A negative or missing factor has no logarithm: it is silence.
    if (!(scaled > 0.0f))
        return kSilence;
    float logarithm = std::log10(scaled);
    float hundredths = std::clamp((logarithm - 1.0f) * 2333.0f, -1e9f, 1e9f);
    int32_t result = int32_t(hundredths);
    return result < -2000 ? kSilence : result;
}

} // namespace Lumo
