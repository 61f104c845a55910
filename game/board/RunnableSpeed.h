#pragma once

#include <cmath>

// A track speed that lets its track end: data of 0, below or not a number
// would hold what waits for the track for ever, so such a track ends at once.
inline float RunnableSpeed(float speed) { return std::isfinite(speed) && speed > 0.0f ? speed : 1.0f; }
