#pragma once

#include "framework/graphics/Rect.h"
#include "game/data/animation/CAnimInstance.h"
#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/animation/CStore.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CCurveBase;
class CImageTable;
class CTrackBase;
class TiXmlElement;

// The frame animations: named runs of image-table slots played by a track
// whose curve turns the track's time into a frame offset.
class CAnimBase {
public:
    struct Record {
        int32_t mFirstFrame;
        int32_t mEndFrame;
        CAnimTrack mDefinition;
    };
    static constexpr int32_t kMaxFramesPerRun = 4096;

    CAnimBase(CImageTable& images, CTrackBase& tracks, CCurveBase& curves);

    // The root's children are the animations, named by their tags; a later
    // animation of a name takes the name over.
    bool LoadFromXml(const TiXmlElement* root);
    // Appends frames[first .. end) as a new animation played by definition.
    // False, adding nothing, for a range outside frames.
    bool AddAnim(const std::vector<int32_t>& frames, int32_t first, int32_t end, const CAnimTrack& definition,
                 int32_t* id);
    // Writes the id when the name is known; leaves it otherwise.
    bool FindAnim(const std::string& name, int32_t* id) const;

    // An instance with a track of its own, set up for player but not attached
    // or started; null for an unknown id.
    CAnimInstance* CreateInstance(int32_t id, CAnimPlayer* player);
    // Switches the instance to another animation in place, keeping its track.
    void ResetInstance(int32_t id, CAnimInstance* instance);
    void ReleaseInstance(CAnimInstance* instance);

    // The slot of the frame the instance shows now, the curve's offset held
    // within the run; -2 for an empty run.
    int32_t GetFrameImage(const CAnimInstance& instance) const;
    // Loads the images of the instance's frames that are not loaded yet.
    void FetchFrameImages(const CAnimInstance& instance);

    const Record* AnimRecord(int32_t id) const;
    // The first frame's rectangle: the cel's, known before its picture is
    // loaded, else the loaded picture's; empty for an animation without frames.
    Lumo::Rect FirstFrameRect(int32_t id) const;
    // Points frame index of the frame list at another image slot (pictures
    // made at run time for an animation of its own).
    void SetFrame(int32_t index, int32_t slot);
    size_t AnimCount() const { return mRecords.size(); }
    const std::vector<int32_t>& Frames() const { return mFrames; }
    const CStore<CAnimInstance>& Instances() const { return mInstances; }

    // The game's main player.
    CAnimPlayer mPlayer;

private:
    void AddFrames(const TiXmlElement* frames);

    CImageTable& mImages;
    CTrackBase& mTracks;
    CCurveBase& mCurves;
    std::vector<int32_t> mFrames;
    std::vector<Record> mRecords;
    std::unordered_map<std::string, int32_t> mNames;
    CStore<CAnimInstance> mInstances;
};
