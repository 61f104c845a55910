#pragma once

#include "game/board/levels/CCrazyDisplay.h"
#include "game/board/levels/CLevelHost.h"

class CBackground;
class CBall;
class CGameApp;
class CBonusBase;
class CBoardWidget;
class CBonusShell;
class CCellRuns;
class CCrazyLevel;
class CFieldBase;
class CFieldBonuses;
class CGameBorders;
class CGameField;
class CGamePanel;
class CGameProcessor;
class CObjBase;
class CPhaseSequencer;
class CSuperBonus;

// The game's components the level controller drives; none owned.
struct LevelHostLinks {
    CGameApp* mApp = nullptr;
    CGameProcessor* mProcessor = nullptr;
    CBall* mBall = nullptr;
    CGameField* mField = nullptr;
    const CFieldBase* mShapes = nullptr;
    const CGameBorders* mBorders = nullptr;
    CObjBase* mObjects = nullptr;
    CBackground* mBackground = nullptr;
    CBonusBase* mBonusBase = nullptr;
    CFieldBonuses* mBonuses = nullptr;
    CBonusShell* mShell = nullptr;
    CSuperBonus* mSuperBonus = nullptr;
    CCrazyLevel* mCrazy = nullptr;
    CCellRuns* mCellRuns = nullptr;
    CPhaseSequencer* mPhases = nullptr;
    CGamePanel* mPanel = nullptr;
    CBoardWidget* mBoard = nullptr;
};

// The level controller's hold on the game in play: the game processor, the
// ball, the bonuses, the field with its border and background, and the board.
class CGameLevelHost : public CLevelHost, public CCrazyDisplay {
public:
    explicit CGameLevelHost(const LevelHostLinks& links);
    // The bonuses, the crazy turns and the board are made after the level
    // controller that takes this host: the application fills them in.
    LevelHostLinks& Links() { return mLinks; }

    void SetProcessorState(int32_t state) override;
    void SetHazards(bool on, int32_t flags) override;
    void SetDrain(bool on, float rate) override;
    void StopPendingProcess() override;
    void ClearProcessorHold() override;
    void StartPhase(int32_t sequence) override;
    void RestartBonusTimer() override;
    void ProcessGroup(int32_t group) override;
    void ShowPopup(int32_t kind, int32_t value) override;
    void StartHazardBall() override;
    bool BlockMovesPending() const override;
    bool FieldMoving() const override;
    void SetArrows(bool stop, bool dim, bool hide, bool show, bool flash) override;
    void ResetComboWindow(float speed) override;
    void StartCellRuns(bool record) override;

    void BallCell(int32_t* column, int32_t* row) const override;
    void ResetBall(bool placeOnCell, int32_t column, int32_t row) override;
    void SetBallSpeeds(float first, float second) override;
    void ClearBallState() override;

    void SetBonusGeneration(bool present, float minimum, float maximum) override;
    void SetBonusAmount(int32_t bonus, int32_t amount) override;
    void SetBonusActionSpeeds(float shell, float shadowBall) override;
    void SetCheckpointBonuses(int32_t simultaneous, int32_t energy, float time) override;
    bool ClosedShellUnderBall() const override;

    void SetUpField(int32_t shape) override;
    void ApplyOnload(int32_t gameBorder, int32_t background, int32_t ball) override;
    int32_t CrazyBlocksToTurn() const override;
    void CrazyNewTurn(int32_t colours) override;
    void CrazyPhaseAnim() override;
    void CrazyPhaseStep(int32_t cell) override;
    bool StartSuperbonus(int32_t group) override;

    void SetBoardActive(bool active) override;
    void SetBoardBusy(bool busy) override;
    void RestartBoard() override;
    void ShowBoard() override;
    void CenterBoardOnField() override;
    void SetPanelLayout(int32_t mode, bool undoButton) override;
    void SetPanelLabels(int32_t stage, int32_t level) override;
    void SetPanelScore(int32_t score) override;
    void SetPanelCompletion(int32_t percent) override;
    void SetPanelEnergy(int32_t percent, bool immediate, float speed) override;
    void SlidePanel(bool on) override;
    void HidePanelNow() override;
    void ShowPanelPiece(bool on) override;
    void ChangePanelPiece() override;
    void PlaySample(int32_t sample) override;
    void SaveFiles() override;

    void SetCrazyPercent(int32_t percent) override;
    void SetCrazyIndicator(const CSceneObj* indicator, bool shown) override;

private:
    LevelHostLinks mLinks;
    // The onload border in place; another index changes the field's objects.
    int32_t mBorder = -1;
};
