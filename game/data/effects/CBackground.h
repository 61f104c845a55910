#pragma once

#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CCurve.h"
#include "game/data/pictures/CSceneObj.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class CAnimBase;
class CAnimTrack;
class CImageTable;
class CSceneObjBase;
class CTrackBase;
class TiXmlElement;
struct CAnimInstance;

namespace Lumo {
class Graphics;
}

// value varied by percent per cent, up or down as the runtime generator's
// next number is odd or even.
float RandomVariation(float value, int32_t percent);

// The picture behind the field and the level map: a strip of images that
// scrolls sideways without end, twinkling stars on a grid of cells, and
// groups of scene objects flying across along straight paths. The
// backgrounds come from "res\backgrounds.xml"; one is current at a time.
class CBackground {
public:
    struct Record {
        int32_t firstStar = 0;
        int32_t starCount = 0;
        int32_t firstImage = 0;
        int32_t imageCount = 0;
        int32_t firstGroup = 0;
        int32_t groupCount = 0;
        int32_t starAmount = 0;
        int32_t starSpeedVariation = 0;
        // Pixels per unit of update time.
        float speed = 0.0f;
    };
    struct StripImage {
        int32_t slot = -2;
        int32_t x = 0;
        int32_t width = 0;
    };
    struct Group {
        int32_t firstObject = 0;
        int32_t objectCount = 0;
        int32_t firstSlot = 0;
        int32_t min = 0;
        int32_t max = 0;
        int32_t live = 0;
        int32_t grid = 0;
        int32_t animSpeedVariation = 0;
        int32_t spawnSpeedVariation = 0;
        int32_t trackSpeedVariation = 0;
        float trackSpeed = 0.0f;
        float spawnIntervalSpeed = 0.0f;
        float xRight = 0.0f;
        float xLeft = 0.0f;
        float bias = 0.0f;
        CAnimTrack* spawnTimer = nullptr;
    };
    // A star or a flying object.
    struct Slot {
        // The image, position and animation; a flying object's other tracks too.
        CSceneObj object;
        CAnimTrack* path = nullptr;
        // The straight line a flying object follows.
        CCurve pathCurve;
        int32_t used = 0;
        // 0: natural size.
        int32_t width = 0;
        int32_t height = 0;
        // A star's grid cell, -1 for none.
        int32_t cell = -1;
    };
    struct Cell {
        int32_t x = 0;
        int32_t y = 0;
        bool used = false;
        // The star slot that stands in it.
        int32_t star = -1;
    };

    static constexpr int32_t kScreenWidth = 800;
    static constexpr int32_t kScreenHeight = 600;
    // Bounds of the file's numbers: every background's groups, a background's
    // stars and a group's objects at once.
    static constexpr size_t kMaxGroups = 256;
    static constexpr int32_t kMaxStars = 4096;
    static constexpr int32_t kMaxGroupObjects = 1024;

    CBackground(CImageTable& images, CAnimBase& anims, CTrackBase& tracks, CSceneObjBase& sceneObjects);
    ~CBackground();
    CBackground(const CBackground&) = delete;
    CBackground& operator=(const CBackground&) = delete;

    // Reads "res\backgrounds.xml".
    void LoadFromXml();
    // Selects a background; a smooth switch waits until the flying objects
    // alive now have left (at once when none is).
    void SetBackground(int32_t number, bool smooth);
    void Update(float dt);
    void Draw(Lumo::Graphics& g);
    // Releases everything of the current background.
    void Clear();

    const std::vector<Record>& Records() const { return mRecords; }
    const std::vector<Cell>& Cells() const { return mCells; }
    const std::deque<Slot>& Slots() const { return mSlots; }
    const std::vector<Group>& Groups() const { return mGroups; }
    int32_t CellWidth() const { return mCellWidth; }
    int32_t CellHeight() const { return mCellHeight; }
    int32_t Current() const { return mCurrent; }
    bool Switching() const { return mSwitching; }
    int32_t LiveTotal() const { return mLiveTotal; }
    float ScrollPosition() const { return mScroll; }
    int32_t StripWidth() const { return mStripWidth; }

    // Stars and flying objects show while set or while fading.
    bool mObjectsShown = true;
    bool mFading = false;
    float mFadeLevel = 1.0f;
    float mFadeStep = 1.0f;

private:
    void LoadBackground(const TiXmlElement* element);
    void SwitchNow();
    void PlaceStar(int32_t star);
    void RestartSpawnTimer(int32_t group);
    void SpawnObject(int32_t group);
    void RemoveObject(int32_t slot);
    void ReleaseSlot(Slot& slot);
    // Handles one finished track; false when it switched the background.
    bool OnTrackFinished(CAnimTrack* track);
    void DrawStrip(Lumo::Graphics& g);
    void DrawSlot(Lumo::Graphics& g, const Slot& slot);

    CImageTable& mImages;
    CAnimBase& mAnims;
    CTrackBase& mTracks;
    CSceneObjBase& mSceneObjects;

    std::vector<Record> mRecords;
    std::vector<StripImage> mStripImages;
    std::vector<int32_t> mStarAnims;
    std::vector<Group> mGroups;
    std::vector<int32_t> mGroupObjects;

    // Slots never move while tracks point at their path curves.
    std::deque<Slot> mSlots;
    std::vector<Cell> mCells;
    CAnimPlayer mPlayer;
    Record mRecord;
    int32_t mCellWidth = 0;
    int32_t mCellHeight = 0;
    int32_t mStripWidth = 0;
    float mScroll = 0.0f;
    int32_t mScrollWhole = 0;
    int32_t mCurrent = -1;
    int32_t mPending = -1;
    bool mSwitching = false;
    int32_t mLiveTotal = 0;
};
