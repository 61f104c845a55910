#include "game/board/ColourTrack.h"

#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CCurve.h"

#include <algorithm>

Lumo::Color ColourTrackToColour(const CAnimTrack& track)
{
    float channels[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    SampleCurve4D(track.mCurve, channels, track.mTime);
    const auto level = [](float value) { return std::clamp(TruncateToInt(value * 255.0f), 0, 255); };
    return Lumo::Color(level(channels[0]), level(channels[1]), level(channels[2]), level(channels[3]));
}
