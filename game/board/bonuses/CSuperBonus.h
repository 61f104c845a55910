#pragma once

#include "game/data/animation/CCurve.h"

#include <array>
#include <cstdint>
#include <vector>

class CAnimTrack;
class CBall;
class CFieldActivity;
class CGameField;
class CGameProcessor;
class CImageAtlas;
class CImageTable;
class CTrackBase;

// The game's components the superbonus works with; none owned.
struct SuperBonusLinks {
    CGameProcessor* mProcessor = nullptr;
    CGameField* mField = nullptr;
    CBall* mBall = nullptr;
    CTrackBase* mTracks = nullptr;
    CImageTable* mImages = nullptr;
    CImageAtlas* mAtlas = nullptr;
    CFieldActivity* mActivity = nullptr;
};

// The superbonus: the group's blocks rise, then the group leaves the field as
// one picture that moves off, zooms and fades while the field closes up.
class CSuperBonus {
public:
    explicit CSuperBonus(const SuperBonusLinks& links);
    ~CSuperBonus();
    CSuperBonus(const CSuperBonus&) = delete;
    CSuperBonus& operator=(const CSuperBonus&) = delete;

    // Takes the four tracks and registers the process kind.
    void Init();
    // The group of the cell grid with this id; false, doing nothing, while
    // one runs, so that the level scores the group another way.
    bool Start(int32_t group);
    bool Running() const { return mState != 0; }
    int32_t Picture() const { return mImage; }
    int32_t PopupHandle() const { return mPopup; }

private:
    void Update(CAnimTrack& track);
    void OnRaised();
    void OnFaded();
    bool BuildImage(int32_t* x, int32_t* y);

    SuperBonusLinks mLinks;
    int32_t mImage = -2;
    int32_t mState = 0;
    int32_t mColour = 0;
    std::vector<int32_t> mCells;
    int32_t mPopup = -2;
    CCurve mFadeCurve;
    CCurve mMotionCurve;
    CCurve mZoomCurve;
    CAnimTrack* mRaise = nullptr;
    CAnimTrack* mFade = nullptr;
    CAnimTrack* mMove = nullptr;
    CAnimTrack* mZoom = nullptr;
};
