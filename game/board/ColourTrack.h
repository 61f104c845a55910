#pragma once

#include "framework/graphics/Color.h"

class CAnimTrack;

// The track's four-channel curve at the track's time as a colour: each
// channel times 255, truncated and held to 0 ... 255.
Lumo::Color ColourTrackToColour(const CAnimTrack& track);
