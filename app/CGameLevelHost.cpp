#include "app/CGameLevelHost.h"

#include "app/CGameApp.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CBonusShell.h"
#include "game/board/bonuses/CFieldBonuses.h"
#include "game/board/bonuses/CSuperBonus.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBase.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameBorders.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CCrazyLevel.h"
#include "game/board/levels/CPhaseSequencer.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/CGameConfig.h"
#include "game/data/effects/CBackground.h"
#include "game/data/pictures/CObjBase.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"

#include <algorithm>

CGameLevelHost::CGameLevelHost(const LevelHostLinks& links) : mLinks(links) {}

void CGameLevelHost::SetProcessorState(int32_t state) { mLinks.mProcessor->SetState(state); }

void CGameLevelHost::SetHazards(bool on, int32_t flags) { mLinks.mProcessor->SetHazards(on, flags); }

void CGameLevelHost::SetDrain(bool on, float rate) { mLinks.mProcessor->SetDrain(on, rate); }

void CGameLevelHost::StopPendingProcess()
{
    CAnimTrack* delay = mLinks.mProcessor->DelayTimer();
    if (delay && delay->mAttached)
        mLinks.mProcessor->StopProcess(delay);
}

void CGameLevelHost::ClearProcessorHold() { mLinks.mProcessor->ClearBusy(); }

void CGameLevelHost::StartPhase(int32_t sequence)
{
    CPhaseSequencer& phases = *mLinks.mPhases;
    if (sequence == CPhaseSequencer::kGameOver)
        phases.StartFinalOutro();
    else if (sequence >= 6)
        phases.StartOutro(sequence);
    else
        phases.StartIntro(sequence);
}

void CGameLevelHost::RestartBonusTimer() { mLinks.mBonuses->RestartBonusTimer(); }

void CGameLevelHost::ProcessGroup(int32_t group) { mLinks.mProcessor->ProcessGroups(group, false); }

void CGameLevelHost::ShowPopup(int32_t kind, int32_t value) { mLinks.mProcessor->ShowPopup(kind, value, false, 0, 0); }

void CGameLevelHost::StartHazardBall() { mLinks.mProcessor->StartHazardBall(); }

bool CGameLevelHost::BlockMovesPending() const { return mLinks.mProcessor->PendingBlockMoves() != 0; }

bool CGameLevelHost::FieldMoving() const
{
    return BlockMovesPending() || !mLinks.mField->DetachedBlocks().empty() || mLinks.mSuperBonus->Running();
}

void CGameLevelHost::SetArrows(bool stop, bool dim, bool hide, bool show, bool flash)
{
    mLinks.mProcessor->SetArrows(stop, dim, hide, show, flash);
}

void CGameLevelHost::ResetComboWindow(float speed) { mLinks.mProcessor->ResetComboWindow(speed); }

void CGameLevelHost::StartCellRuns(bool record)
{
    // A ball the last level's undo set down plays again.
    mLinks.mBoard->EndBallSetDown();
    mLinks.mCellRuns->Clear();
    mLinks.mCellRuns->SetRecording(record);
}

void CGameLevelHost::BallCell(int32_t* column, int32_t* row) const
{
    const CGameField& field = *mLinks.mField;
    const std::array<float, 3>& position = mLinks.mBall->Position();
    const auto cell = [](float at, float step, int32_t count) {
        const int32_t index = step > 0.0f ? int32_t(at / step) : 0;
        return std::clamp(index, 0, std::max(count - 1, 0));
    };
    *column = cell(position[0], field.StepX(), field.Width());
    *row = cell(position[1], field.StepY(), field.Height());
}

void CGameLevelHost::ResetBall(bool placeOnCell, int32_t column, int32_t row)
{
    CBall& ball = *mLinks.mBall;
    ball.RestoreFlightSpeeds();
    if (!placeOnCell)
        return;
    ball.PlaceOnCell(column, row);
    mLinks.mField->SetExcludedCell(column, row);
    ball.LogTiming();
}

void CGameLevelHost::SetBallSpeeds(float first, float second) { mLinks.mBall->SetFlightSpeeds(first, second); }

void CGameLevelHost::ClearBallState()
{
    CBall& ball = *mLinks.mBall;
    ball.ClearState(ball.State());
}

void CGameLevelHost::SetBonusGeneration(bool, float minimum, float maximum)
{
    mLinks.mBonuses->SetGenerationSpeed(minimum, (maximum - minimum) * 0.01f);
}

void CGameLevelHost::SetBonusAmount(int32_t bonus, int32_t amount) { mLinks.mBonusBase->SetAmount(bonus, amount); }

void CGameLevelHost::SetBonusActionSpeeds(float shell, float shadowBall)
{
    CBonusBase& base = *mLinks.mBonusBase;
    base.mShell.mActionSpeed = shell;
    base.mShadowBall.mActionSpeed = shadowBall;
    base.AvailableBonuses();
}

void CGameLevelHost::SetCheckpointBonuses(int32_t simultaneous, int32_t energy, float time)
{
    CBonusBase& base = *mLinks.mBonusBase;
    base.mSimultaneousCount = simultaneous;
    base.mEnergyAmount = energy;
    base.mTimeSpeed = time;
}

bool CGameLevelHost::ClosedShellUnderBall() const
{
    if (!mLinks.mShell->Active())
        return false;
    int32_t column = 0;
    int32_t row = 0;
    BallCell(&column, &row);
    const CFieldBlock* block = mLinks.mField->Record(row * mLinks.mField->Width() + column).mBlock;
    return block && block->mShellState == CBonusShell::kClosed;
}

void CGameLevelHost::SetUpField(int32_t shape)
{
    if (shape < 0 || !mLinks.mField->SetupFromLevel(*mLinks.mShapes, shape))
        mLinks.mField->ResetForLevel();
}

void CGameLevelHost::ApplyOnload(int32_t gameBorder, int32_t background, int32_t ball)
{
    const CGameBorders::Border* border = mLinks.mBorders->Get(gameBorder);
    if (border && gameBorder != mBorder) {
        mLinks.mObjects->FetchObjectImages(border->mBeforeCells);
        mLinks.mObjects->FetchObjectImages(border->mAfterCells);
        FieldEffects& effects = mLinks.mField->Effects();
        effects.mBorderBefore = border->mBeforeCells;
        effects.mBorderAfter = border->mAfterCells;
        mBorder = gameBorder;
    }
    mLinks.mBackground->SetBackground(background, true);
    mLinks.mBall->SetBallIndex(ball);
}

int32_t CGameLevelHost::CrazyBlocksToTurn() const { return mLinks.mCrazy->BlocksToTurn(); }

void CGameLevelHost::CrazyNewTurn(int32_t colours) { mLinks.mCrazy->NewTurn(colours); }

void CGameLevelHost::CrazyPhaseAnim() { mLinks.mCrazy->PhaseAnim(); }

void CGameLevelHost::CrazyPhaseStep(int32_t cell) { mLinks.mCrazy->PhaseStep(cell); }

bool CGameLevelHost::StartSuperbonus(int32_t group) { return mLinks.mSuperBonus->Start(group); }

// Play taking up again frees the input as well: in the endless game no
// processor state does it after the first intro.
void CGameLevelHost::SetBoardActive(bool active)
{
    if (active)
        mLinks.mBoard->ResumePlay();
    else
        mLinks.mBoard->SetFieldActive(false);
}

void CGameLevelHost::SetBoardBusy(bool busy) { mLinks.mBoard->SetInputLock(busy); }

// The new map is loaded behind the black overlay: it brightens to show it.
void CGameLevelHost::RestartBoard()
{
    CBoardWidget& board = *mLinks.mBoard;
    board.SetFadeState(CBoardWidget::kFadeIn);
    board.SetBackgroundOn(true);
    board.SetOverlayOn(true);
    board.PlayOverlayAnim(CGameConfig::live.loadscreenBgfadespeed, 1.0f, 0.0f);
}

void CGameLevelHost::ShowBoard() { mLinks.mBoard->FadeInField(); }

void CGameLevelHost::CenterBoardOnField() { mLinks.mBoard->CenterOnField(); }

void CGameLevelHost::SetPanelLayout(int32_t mode, bool undoButton) { mLinks.mPanel->StartLevel(mode, undoButton); }

void CGameLevelHost::SetPanelLabels(int32_t stage, int32_t level)
{
    mLinks.mPanel->SetPhaseLabel(stage);
    mLinks.mPanel->SetLevelLabel(level);
}

void CGameLevelHost::SetPanelScore(int32_t score) { mLinks.mPanel->SetPointsLabel(score); }

void CGameLevelHost::SetPanelCompletion(int32_t percent) { mLinks.mPanel->SetCompletion(percent); }

void CGameLevelHost::SetPanelEnergy(int32_t percent, bool immediate, float speed)
{
    mLinks.mPanel->SetEnergy(percent, immediate, speed);
}

void CGameLevelHost::SlidePanel(bool on) { mLinks.mPanel->SlideOnOff(on); }

void CGameLevelHost::HidePanelNow() { mLinks.mPanel->HideNow(); }

void CGameLevelHost::ShowPanelPiece(bool on) { mLinks.mPanel->ShowPiece(on); }

void CGameLevelHost::ChangePanelPiece() { mLinks.mProcessor->ShowPanelPiece(); }

void CGameLevelHost::PlaySample(int32_t sample) { mLinks.mApp->PlaySoundById(sample); }

void CGameLevelHost::SaveFiles() { mLinks.mApp->SavePlayerFiles(); }

void CGameLevelHost::SetCrazyPercent(int32_t percent) { mLinks.mPanel->SetCrazyPercent(percent); }

void CGameLevelHost::SetCrazyIndicator(const CSceneObj* indicator, bool shown)
{
    mLinks.mPanel->SetCrazyIndicator(indicator, shown);
}
