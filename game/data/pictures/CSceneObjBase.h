#pragma once

#include "game/data/pictures/CSceneObj.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CAnimBase;
class CAnimPlayer;
class CImageTable;
class CTrackBase;
class TiXmlElement;

// The definitions of decorative scene objects, and the spawning of instances
// that their owners play with players of their own.
class CSceneObjBase {
public:
    CSceneObjBase(CImageTable& images, CAnimBase& anims, CTrackBase& tracks);

    void LoadFromXml(const TiXmlElement* root);
    bool FindDefinition(const std::string& name, int32_t* index) const;
    const std::vector<CSceneObjDef>& Definitions() const { return mDefinitions; }

    // Sets the instance up from definition (reusing the tracks and animation
    // it has); the caller attaches and starts the tracks.
    void Spawn(int32_t definition, CSceneObj& instance, CAnimPlayer* player, CAnimPlayer* colorPlayer);
    // With flag set: the instance's track (or a new one) takes the definition
    // for player; with flag clear: its track is freed.
    void SetColorTrack(bool flag, CAnimPlayer* player, CSceneObj& instance, int32_t trackDefinition);
    void SetMoveTrack(bool flag, CAnimPlayer* player, CSceneObj& instance, int32_t trackDefinition);
    // With flag set: the instance's animation is switched to animation (or a
    // new one is made for player); with flag clear: it is released.
    void SetFrameAnim(bool flag, int32_t animation, CSceneObj& instance, CAnimPlayer* player);
    // Gives the instance's animation and tracks back.
    void Release(CSceneObj& instance);
    // Loads the images the instance will draw.
    void FetchImages(const CSceneObj& instance);

private:
    void SetTrack(bool flag, CAnimPlayer* player, CAnimTrack*& track, int32_t trackDefinition);

    CImageTable& mImages;
    CAnimBase& mAnims;
    CTrackBase& mTracks;
    std::vector<CSceneObjDef> mDefinitions;
    std::unordered_map<std::string, int32_t> mNames;
};
