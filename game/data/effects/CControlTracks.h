#pragma once

#include <cstdint>

class CAnimTrack;

// The window system's table of control tracks as the data layer reaches it:
// a track started here is attached to the window system's player under an
// entry {kind, a, b}, and the window system acts on the entry's kind when the
// track finishes. The GUI controller implements it.
class CControlTracks {
public:
    virtual ~CControlTracks() = default;

    // Attaches the track under a new entry; its owner tag names the entry.
    virtual void StartTrack(CAnimTrack* track, int32_t kind, int32_t a, int32_t b) = 0;
    // Clears the track's entry, gives its tag back, detaches the track and
    // sets its owner tag to -2.
    virtual void StopTrack(CAnimTrack* track) = 0;
};
