#pragma once

#include <cstdint>

// The process-wide MT19937 behind all of the game's randomness. It starts
// seeded with 4357; a lock lets the loading thread and the main thread share it.
namespace Lumo {

// 0 to range - 1 (taken as unsigned); a range of 0 gives 0.
int32_t RandomNumber(int32_t range);
void SeedRandom(uint32_t seed);

} // namespace Lumo
