#pragma once

class CAnimBase;
class CBall;
class CBonusBase;
class CBonusLevel;
class CFieldActivity;
class CFieldBonuses;
class CGameField;
class CGameProcessor;
class CImageAtlas;
class CImageTable;
class CTrackBase;

namespace Lumo {
class LumoAppBase;
}

// The game's components a bonus effect that takes blocks off works with; none owned.
struct BonusEffectLinks {
    Lumo::LumoAppBase* mApp = nullptr;
    CGameProcessor* mProcessor = nullptr;
    CGameField* mField = nullptr;
    CBall* mBall = nullptr;
    CBonusBase* mBase = nullptr;
    CTrackBase* mTracks = nullptr;
    CAnimBase* mAnims = nullptr;
    CImageTable* mImages = nullptr;
    // The power ball's beam pieces are drawn into it.
    CImageAtlas* mAtlas = nullptr;
    CFieldBonuses* mBonuses = nullptr;
    CFieldActivity* mActivity = nullptr;
    CBonusLevel* mLevel = nullptr;
};
