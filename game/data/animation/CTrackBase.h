#pragma once

#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CStore.h"

#include <string>
#include <unordered_map>

class CAnimPlayer;
class CCurveBase;
class TiXmlElement;

// The named track definitions of the track file and the pool of running tracks.
class CTrackBase {
public:
    // Every child element of root is a definition named by its tag; the first
    // definition of a name wins. False without root or when a definition has
    // no speed it can run at: what waits for that track would wait for ever.
    bool LoadFromXml(const TiXmlElement* root, CCurveBase& curves);

    // Writes the definition index when the name is known; leaves it otherwise.
    bool FindTrack(const std::string& name, int32_t* index) const;
    // Null for an index that names no definition.
    const CAnimTrack* Definition(int32_t index) const;
    CAnimTrack* Definition(int32_t index);

    // A taken track, neither running nor attached.
    CAnimTrack* NewIdleInstance();
    // Detaches the track and gives it back to the pool; a track that is not
    // in use (freed already) is left alone. Callers clear their own pointer.
    void FreeInstance(CAnimTrack* track);

    // Readies the track in slot (taking one when the slot is empty) for
    // player: off another player, or off player's finished list, then
    // restarted at start time with speed and repeat count. The curve stays;
    // the track is not attached.
    void StartTimer(CAnimTrack*& slot, float startTime, float speed, int32_t repeatCount, bool running,
                    CAnimPlayer* player);
    // The same slot handling, then the definition copied onto the track. An
    // unknown definition index leaves the slot as it was and gives false.
    bool StartTrack(CAnimTrack*& slot, int32_t definition, bool running, CAnimPlayer* player);

    const CStore<CAnimTrack>& Running() const { return mRunning; }

private:
    void TakeForPlayer(CAnimTrack*& slot, CAnimPlayer* player);

    std::unordered_map<std::string, int32_t> mNames;
    CStore<CAnimTrack> mDefinitions;
    CStore<CAnimTrack> mRunning;
};
