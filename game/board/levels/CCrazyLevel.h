#pragma once

#include "game/data/pictures/CSceneObj.h"

#include <cstdint>

class CAnimBase;
class CAnimTrack;
class CBall;
class CCrazyDisplay;
class CCrazyTurns;
class CGameField;
class CGameProcessor;
class CSceneObjBase;
class CTrackBase;
struct CFieldBlock;

// The game's components a crazy level works with; none owned.
struct CrazyLinks {
    CGameProcessor* mProcessor = nullptr;
    CGameField* mField = nullptr;
    CBall* mBall = nullptr;
    CTrackBase* mTracks = nullptr;
    CAnimBase* mAnims = nullptr;
    CSceneObjBase* mSceneObjects = nullptr;
    CCrazyTurns* mTurns = nullptr;
    // The HUD panel's part; may be null.
    CCrazyDisplay* mDisplay = nullptr;
};

// A crazy level in play: when play begins, every block not in the crazy
// colour waits, then spins through random colours in halves of its colour's
// spin animations; once all have stopped the ball bounces and each landing
// turns its block (the rules are CCrazyTurns') with a short pulse. Its
// timers are processes of the game processor.
class CCrazyLevel {
public:
    explicit CCrazyLevel(const CrazyLinks& links);
    ~CCrazyLevel();
    CCrazyLevel(const CCrazyLevel&) = delete;
    CCrazyLevel& operator=(const CCrazyLevel&) = delete;

    // Takes the phase track and registers the process kind.
    void Init();
    // Stops everything and gives the tracks and the indicator back.
    void Shutdown();

    // Prepares the field at the start of a level of that many colours: the
    // blocks to spin and the indicator.
    void NewTurn(int32_t colours);
    // Play begins: the waiting timer, after which the spin starts.
    void PhaseAnim();
    // The ball's landing on the cell.
    void PhaseStep(int32_t cell);
    // Ends every process of the crazy level; blocks stopped in their spin
    // show their cell's colour again.
    void Stop();

    int32_t BlocksToTurn() const;
    int32_t BlocksToSpin() const { return mBlocksToSpin; }
    CAnimTrack* PhaseTrack() const { return mPhaseTrack; }
    const CSceneObj& Indicator() const { return mIndicator; }
    bool IndicatorShown() const { return mIndicatorShown; }

private:
    void OnPhaseFinished(CAnimTrack& track, int32_t slot);
    void StartSpin();
    // The block's spin animation of its colour, half 1 or 2, from the
    // start; false when the block has none.
    bool SpinHalf(CFieldBlock& block, int32_t half);
    void StepSpin(CFieldBlock& block);
    // The block's spin over: its process and animation end.
    void EndSpin(CFieldBlock& block);
    void FinishSpin();
    void EndPulse();
    void RemoveIndicator();
    void ShowPercent(int32_t percent);
    CFieldBlock* BlockAt(int32_t cell) const;

    CrazyLinks mLinks;
    CAnimTrack* mPhaseTrack = nullptr;
    CAnimTrack* mSpinTrack = nullptr;
    int32_t mBlocksToSpin = 0;
    int32_t mPulseCell = -2;
    CSceneObj mIndicator;
    float mIndicatorSpeed = 0.0f;
    bool mIndicatorShown = false;
};
