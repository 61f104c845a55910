#pragma once

#include <cstdint>

// The C runtime's rand and srand as the game relies on them: the linear
// congruential sequence state * 214013 + 2531011, yielding bits 16 to 30.
// Like the runtime's, the state belongs to the calling thread and starts as
// if seeded with 1.
namespace Lumo {

// 0 to 32767.
int32_t Rand();
void SRand(uint32_t seed);

} // namespace Lumo
