#pragma once

#include <cstdint>

namespace Lumo {

// A volume factor (1.0 = as recorded) as a sound buffer's attenuation in
// hundredths of a decibel; anything below about 0.0431 is silence (-10000).
// Factors above 1.0 give positive values, which the buffers play at full volume.
int32_t VolumeToDecibels(float volume);

} // namespace Lumo
