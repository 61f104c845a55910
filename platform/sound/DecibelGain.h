#pragma once

#include <cstdint>

namespace Platform {

// The amplitude factor of an attenuation in hundredths of a decibel:
// DSBVOLUME_MIN and below are silence, 0 and above unity.
float DecibelGain(int32_t hundredths);

} // namespace Platform
