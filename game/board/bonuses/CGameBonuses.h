#pragma once

#include "game/board/bonuses/BonusEffectLinks.h"
#include "game/board/bonuses/CBonusBomb.h"
#include "game/board/bonuses/CBonusDrawLink.h"
#include "game/board/bonuses/CBonusPowerball.h"
#include "game/board/bonuses/CBonusRandomize.h"
#include "game/board/bonuses/CBonusShadowball.h"
#include "game/board/bonuses/CBonusShell.h"
#include "game/board/bonuses/CBonusTime.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/bonuses/CSuperBonus.h"

class CBonusBanner;
class CEnergyMeter;

// The game's tables and components the bonuses work with; none owned.
struct GameBonusParts {
    BonusEffectLinks mEffects;
    CBonusBanner* mBanner = nullptr;
    CEnergyMeter* mEnergy = nullptr;
};

// Every bonus of the game in play wired together: the bonuses on the field,
// the eight effects, the superbonus and the field drawing's link to them.
// Made once the processor is initialised and the board widget exists.
class CGameBonuses {
public:
    explicit CGameBonuses(const GameBonusParts& parts);
    ~CGameBonuses();
    CGameBonuses(const CGameBonuses&) = delete;
    CGameBonuses& operator=(const CGameBonuses&) = delete;

    // Registers every process kind and effect, and becomes the processor's
    // bonus hooks and the field's draw link.
    void Init();
    // Before the processor's shutdown.
    void Shutdown();

    CFieldBonuses& FieldBonuses() { return mFieldBonuses; }
    CBonusTime& TimeBonus() { return mTime; }
    CBonusShadowball& Shadowball() { return mShadow; }
    CBonusShell& Shell() { return mShell; }
    CBonusRandomize& Randomize() { return mRandomize; }
    CBonusBomb& Bomb() { return mBomb; }
    CBonusPowerball& Powerball() { return mPowerball; }
    CSuperBonus& SuperBonus() { return mSuper; }

private:
    GameBonusParts mParts;
    CBonusTime mTime;
    CFieldBonuses mFieldBonuses;
    CBonusShadowball mShadow;
    CBonusShell mShell;
    CBonusRandomize mRandomize;
    CBonusBomb mBomb;
    CBonusPowerball mPowerball;
    CSuperBonus mSuper;
    CBonusDrawLink mDrawLink;
};
