#pragma once

#include "game/board/field/CBlockReleaseHandler.h"
#include "game/board/play/LinePlacement.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimPlayer.h"
#include "game/data/animation/CCurve.h"
#include "game/data/animation/CIndexAllocator.h"
#include "game/data/animation/CStore.h"
#include "game/data/pictures/CImageStrip.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class CAnimBase;
class CAnimTrack;
class CBall;
class CBoardHost;
class CBonusHooks;
class CCellRuns;
class CGameField;
class CImageTable;
class CLevelFlow;
class CTrackBase;
struct CFieldBlock;

namespace Lumo {
class LumoAppBase;
}

// What runs a process kind: the follow-up when one of its tracks finishes,
// and for a kind that waiting for the field to settle stops, how to stop it.
struct ProcessHandler {
    std::function<void(CAnimTrack& track, int32_t slot)> mFinished;
    std::function<void(CAnimTrack& track, int32_t slot)> mStop;
};

// The game's tables and components the processor works with; none owned.
struct ProcessorLinks {
    Lumo::LumoAppBase* mApp = nullptr;
    CGameField* mField = nullptr;
    CBall* mBall = nullptr;
    CTrackBase* mTracks = nullptr;
    CImageTable* mImages = nullptr;
    CAnimBase* mAnims = nullptr;
    CLevelFlow* mLevel = nullptr;
    CBoardHost* mHost = nullptr;
    CBonusHooks* mBonuses = nullptr;
};

// Runs every consequence of play that takes time as a process: a slot naming
// its kind plus the tracks that carry the slot's index, advanced by the
// processor's own player. When a track finishes, its kind's follow-up runs.
class CGameProcessor : public CBlockReleaseHandler {
public:
    static constexpr int32_t kNone = -2;
    enum Hazard : int32_t { kHazardEnergy = 0, kHazardTime = 1, kHazardBall = 2 };
    enum HazardFlag : int32_t { kTimeHazard = 1, kEnergyHazard = 2 };
    // How waiting for the field to settle treats a running process.
    enum class SettleClass : uint8_t { kPass, kBusy, kStop };

    explicit CGameProcessor(const ProcessorLinks& links);
    ~CGameProcessor() override;
    CGameProcessor(const CGameProcessor&) = delete;
    CGameProcessor& operator=(const CGameProcessor&) = delete;

    // The level, the bonuses and the board are made after the processor, which
    // they all reach: the application fills their links in once they exist.
    ProcessorLinks& Links() { return mLinks; }

    // Takes the owned tracks; the hazard tracks from their configured definitions.
    void Init();
    void Shutdown();

    // Sets the follow-up of a kind, 1 to 34; the kinds the processor runs
    // itself are registered by Init.
    void RegisterKind(int32_t kind, ProcessHandler handler);
    static SettleClass SettleClassOf(int32_t kind);

    // A slot of the kind for track, which takes its index; the caller fills words 2 to 5.
    ProcessSlot& StartProcess(int32_t kind, CAnimTrack* track, bool attach);
    ProcessSlot& StartProcessWith(int32_t kind, const ProcessSlot& record, CAnimTrack* track);
    // Frees the track's slot and detaches the track.
    void StopProcess(CAnimTrack* track);
    // Time, running and one repeat; the track stays attached with its slot.
    void RestartTimer(CAnimTrack* track, float time);
    // Frees the slot (kind 36) and gives its index back.
    void FreeSlot(int32_t slot);
    // Ends an explosion of the game-over outro: its process, its animation
    // and its record in the field's popup list (slot word 3).
    void StopExplosionAnim(CAnimTrack& track);
    // Ends every explosion still running.
    void StopExplosionAnims();

    // The per-frame step: tracks, settle timer, points drain, follow-ups.
    void DispatchFinished(float dt);
    void SetState(int32_t state, bool force = false);
    int32_t State() const { return mState; }

    // The landing reaction.
    void OnBallLanded(CFieldBlock* block, bool scored);
    int32_t ApplyPendingCombo();
    void StartBlockBump(CFieldBlock& block, int32_t animation);
    void StartHazardBall();
    void SetHazards(bool on, int32_t flags);

    // Popup kinds: 0 points, 1 to 4 the combo levels, -1 the superbonus. A
    // definition of -2 takes the kind's own track. Dropped while every cell
    // of the popup strip is in use.
    static constexpr int32_t kSuperbonusPopup = -1;
    void ShowPopup(int32_t kind, int32_t value, bool atGiven, int32_t x, int32_t y, int32_t fadeDefinition = kNone,
                   int32_t moveDefinition = kNone);
    void FinishScorePopup(CAnimTrack& track);
    void FinishScorePopups();
    int32_t PopupCellsInUse() const { return mPopupCells; }

    // The hover of the block under the pointer: start, loop while the
    // pointer stays, end when it leaves.
    void StartCellHover(CFieldBlock& block);
    void StartHoverLoop(CFieldBlock& block);
    void StartHoverEnd(CFieldBlock& block);
    void FinishHover(CFieldBlock& block);

    // A block going back to the field's pool takes its bonus and its hover along.
    void RemoveBonusFromBlock(CFieldBlock& block) override;
    void ReleasePooledPair(CFieldBlock& block) override;

    // The field step after a scoring landing (withoutTimer false) or after
    // a bonus that emptied the cells itself (true: the lines move at once).
    void ProcessGroups(int32_t group, bool withoutTimer);
    void StartBlockFall(CFieldBlock& block);
    void FinishBlockRemoval(int32_t first, int32_t end);
    void SettleNewBlocks();
    void PlanLineTiming(LinePlacement& placement) const;
    void PutPiece(ProcessSlot& record);
    void FinishGroupStep(float overshoot);
    // A level that scores by the field shows the share of its cells in the reserved colour.
    void ShowFieldCompletion();
    void StepPieceBlocks(LinePlacement& placement);
    const std::vector<CFieldBlock*>& NewBlocks() const { return mNewBlocks; }
    const CStore<LinePlacement>& GroupStore() const { return mGroupStore; }
    const CStore<MoveList>& ChainStore() const { return mChainStore; }
    int32_t LandingCount() const { return mLandingCount; }
    void SetLandingCount(int32_t count) { mLandingCount = count; }
    float StepDelaySpeed() const { return mStepDelaySpeed; }
    void SetStepTiming(float settleTimer, float delaySpeed);
    // The field step of a bonus that has emptied the cells and taken the
    // blocks itself: the step's timing, then the lines move at once.
    void StepAfterBonus(float settleTimer, float delaySpeed);

    // Takes the last field step back on a puzzle level; false when nothing
    // can be undone.
    bool StartUndo();
    void FinishUndo(CAnimTrack& track);
    bool UndoRequested() const { return mUndoRequest; }
    CAnimTrack* UndoTimer() const { return mUndoTimer; }

    // The superbonus was awarded: the panel's piece fades out, a new piece is
    // picked and fades in (HidePanelPiece). Starts over when a change still runs.
    void ShowPanelPiece();
    void HidePanelPiece();

    // Points drain on timed levels: rate in points per unit of update time.
    void SetDrain(bool on, float rate);

    // The column of four arrows over the field, all faded by one track. Of
    // dim, hide, show and flash the first in the order hide, dim, flash, show
    // is acted upon; stop with hide removes the arrows, stop alone halts the fade.
    enum : int32_t { kArrowsNew = -2, kArrowsDim = 0, kArrowsHidden = 1, kArrowsShown = 2, kArrowsFlash = 3 };
    static constexpr int32_t kArrowCount = 4;
    void SetArrows(bool stop, bool dim, bool hide, bool show, bool flash);
    CAnimTrack* ArrowTrack() const { return mArrowTrack; }
    int32_t ArrowMode() const { return mArrowMode; }
    // The arrow's index in the field's popup list, -2 when there are no arrows.
    int32_t ArrowRecord(int32_t arrow) const { return mArrowRecords[size_t(arrow)]; }

    const std::vector<ProcessSlot>& Slots() const { return mSlots; }
    const ProcessSlot& Slot(int32_t index) const { return mSlots[size_t(index)]; }
    ProcessSlot& Slot(int32_t index) { return mSlots[size_t(index)]; }
    // Slots in use.
    int32_t LiveProcesses() const;
    CAnimPlayer& Player() { return mPlayer; }
    const CAnimPlayer& Player() const { return mPlayer; }

    int32_t PendingBlockMoves() const { return mPendingBlockMoves; }
    float SettleTimer() const { return mSettleTimer; }
    bool Busy() const { return mBusy != 0; }
    // Play goes on: bonuses may come on again.
    void ClearBusy() { mBusy = 0; }
    CAnimTrack* ComboWindow() const { return mComboWindow; }
    // A level starts: the window closes without applying a pending combo, and
    // the next one closes at the level's speed after its scoring landing.
    void ResetComboWindow(float speed);
    CAnimTrack* DelayTimer() const { return mDelayTimer; }
    CAnimTrack* HazardTrack(int32_t which) const { return mHazardTracks[size_t(which)]; }
    CAnimTrack* HazardCheck() const { return mHazardCheck; }
    bool BlockLinksCleared() const { return mBlockLinksCleared; }
    void SetBlockLinksCleared(bool cleared) { mBlockLinksCleared = cleared; }

private:
    void RegisterOwnKinds();
    void ResetAndDelay(int32_t state, bool force);
    void StopDelay();
    void WaitForSettle();
    void PlaySound(int32_t id);
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void DrainPoints(float dt);
    void FinishHazardCheck(CAnimTrack& track);
    void FinishBlockBump(CAnimTrack& track, int32_t slot);
    void StopHazard(int32_t hazard);
    void ShowHazard(int32_t hazard, int32_t kind);
    int32_t NewSlot(int32_t kind);
    void SpawnHover(CFieldBlock& block, int32_t animation, bool fadeIn, int32_t slot);
    void ReleaseHover(CFieldBlock& block);
    bool OnLandingCell(const CFieldBlock& block) const;
    void FinishHoverTrack(CAnimTrack& track, int32_t slot);
    void FinishBlockFall(int32_t slot);
    void FinishLinePlacement(CAnimTrack& track, int32_t slot);
    void RecolourLastMove(const CCellRuns& runs);
    // The cell words of the lines of the run at index as they were before its step.
    void RestoreRunColours(const CCellRuns& runs, size_t index);
    // Gives back what an undo requested while blocks moved has taken, when
    // the field's settling can no longer start it.
    void DropUndo();
    void SetUpPopupStrip();
    void DrawPopupText(int32_t slot, int32_t kind, int32_t value);
    void RemoveArrows();
    void AddArrows();
    void RegisterPanelPieceKinds();
    CAnimTrack* PanelPieceTrack(bool show) const;
    bool StartPanelPieceFade(int32_t kind, bool show, int32_t display);
    void StopPanelPiece(CAnimTrack& track);
    void ChangePanelPiece();

    ProcessorLinks mLinks;
    int32_t mPendingBlockMoves = 0;
    std::vector<ProcessSlot> mSlots;
    CAnimPlayer mPlayer;
    CIndexAllocator mIndices;
    std::array<ProcessHandler, kProcessFree> mHandlers{};
    float mSettleTimer = 0.0f;
    bool mBlockLinksCleared = false;

    CAnimTrack* mDelayTimer = nullptr;
    CAnimTrack* mHazardCheck = nullptr;
    CAnimTrack* mComboWindow = nullptr;
    // Energy, time and ball, in the order of their configured names.
    std::array<CAnimTrack*, 3> mHazardTracks{};

    int32_t mBusy = 0;
    bool mDrainOn = false;
    float mDrainRate = 0.0f;
    float mDrainAccumulator = 0.0f;
    int32_t mState = 0;
    bool mUndoRequest = false;
    CImageStrip mStrip;
    int32_t mPopupCells = 0;

    float mStepDelaySpeed = 0.0f;
    std::vector<ProcessSlot> mPlacementList;
    CStore<LinePlacement> mGroupStore;
    CStore<MoveList> mChainStore;
    std::vector<CFieldBlock*> mNewBlocks;
    int32_t mLandingCount = 0;

    CAnimTrack* mUndoTimer = nullptr;
    CAnimTrack* mBallFadeTimer = nullptr;
    CCurve mUndoCurve;
    CCurve mBallFadeCurve;

    CAnimTrack* mArrowTrack = nullptr;
    int32_t mArrowMode = kArrowsNew;
    // White, from the current alpha to the target alpha.
    CCurve mArrowCurve{4, 0, {1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f}};
    std::array<int32_t, kArrowCount> mArrowRecords{kNone, kNone, kNone, kNone};
};
