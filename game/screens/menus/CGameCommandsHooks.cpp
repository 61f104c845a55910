#include "framework/app/LumoAppBase.h"
#include "framework/core/AppLog.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/data/CGameConfig.h"
#include "game/data/JukeBox.h"
#include "game/data/effects/CTextLabels.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/CGameFlowHost.h"
#include "game/screens/menus/CBackgroundWidget.h"
#include "game/screens/menus/CGameCommands.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUITrackEntry.h"
#include "game/screens/windows/CSlotPanel.h"

#include <algorithm>

namespace {

using namespace GUIWindowId;

constexpr int32_t kStageSize = 10;
// RequestLevel handled the request at once.
constexpr int32_t kHandledAtOnce = 2;

} // namespace

void CGameCommands::OnWindowShowing(int32_t windowId)
{
    CGUIController& gui = *mServices.mGui;
    switch (windowId) {
    case kPhaseEnd:
        mPhaseFlag = true;
        mServices.mBoard->SetBackgroundOn(true);
        mServices.mBoard->SetOverlayOn(true);
        mServices.mBoard->PlayOverlayAnim(CGameConfig::live.loadscreenBgfadespeed, 0.0f, 1.0f);
        gui.SetHighlight(true);
        break;
    case kPhaseStart:
        mServices.mBoard->SetBackgroundOn(false);
        mServices.mBoard->SetOverlayOn(false);
        mServices.mBoard->PlayOverlayAnim(1.0f, 0.0f, 1.0f);
        gui.SetHighlight(true);
        break;
    case kMenu: {
        // Every way out of a game ends here, before a player can be changed.
        mServices.mLevels->LeaveGame();
        mPendingStart = kStartNone;
        gui.SetInfoLabelText(35, mServices.mProfiles->CurrentName());
        // The map of the saved game, counted from 1 as everywhere else: the record's second value
        // holds the stage only for a new game and the result index once one has been played.
        const CUserProfile* profile = CurrentProfile();
        SetSlotValue(36, (profile != nullptr ? profile->progressA[2] : 0) / kStageSize + 1);
        break;
    }
    case kOptions:
        SaveOptions();
        break;
    case kPlayerList:
        gui.SetListCount(mServices.mProfiles->Count());
        break;
    case kStageSelect:
        if (mServices.mSlotPanel != nullptr) {
            const CUserProfile* profile = CurrentProfile();
            mServices.mSlotPanel->SetUp((profile != nullptr ? profile->bestTenth : 0) + 1);
        }
        break;
    case kHiscoreShow:
    case kHiscoreShowGameover:
        mServices.mHiscores->SetShowHighlight(false);
        break;
    case kHiscoreHit:
        mServices.mHiscores->SetShowHighlight(true);
        mServices.mHiscores->ShowHighlight();
        break;
    case kCredits:
        gui.RestartCredits();
        break;
    default:
        break;
    }
}

void CGameCommands::OnWindowShown(int32_t windowId)
{
    const CLevelController& levels = *mServices.mLevels;
    const int32_t bonus = EntryBonus();
    int32_t slot = 0;
    int32_t value = 0;
    int32_t next = 0;
    switch (windowId) {
    case kLevelEndClassic:
        slot = 9;
        value = levels.LevelGain() - bonus - levels.ComboGain() - levels.SupercomboGain();
        next = 2;
        break;
    case kLevelEndPuzzle:
        slot = 17;
        value = bonus;
        next = 8;
        break;
    case kLevelEndCrazy:
        slot = 21;
        value = levels.LevelGain() - bonus;
        next = 6;
        break;
    default:
        return;
    }
    JukeBox::Get().StartLoopSample();
    mServices.mGui->StartCountUp(slot, value, 5000, next, 3);
}

void CGameCommands::OnWindowClosed(int32_t windowId)
{
    switch (windowId) {
    case kLevelEndClassic:
    case kLevelEndPuzzle:
    case kLevelEndCrazy: {
        const int32_t p = mNextPosition;
        mServices.mFlow->ShowLevelMap(p / kStageSize, std::max(0, (p - 1) % kStageSize), p % kStageSize);
        break;
    }
    case kStageSelect:
        if (mServices.mSlotPanel != nullptr)
            mServices.mSlotPanel->Release();
        // The stage chosen there starts the game too.
        RunPendingStart();
        break;
    case kMenu:
    case kGameContinue:
    case kGameRestartScore:
    case kGameRestartBasic:
    case kStartLast:
        RunPendingStart();
        break;
    case kHiscoreHit:
        mServices.mHiscores->ReleaseHandles();
        break;
    default:
        break;
    }
}

void CGameCommands::RunPendingStart()
{
    if (mPendingStart != kStartMapGame && mPendingStart != kStartEndlessGame)
        return;
    const CUserProfile* profile = CurrentProfile();
    const CUserProfile none{};
    const CUserProfile& saved = profile != nullptr ? *profile : none;
    CLevelController::Request request;
    if (mPendingStart == kStartMapGame) {
        mPhaseFlag = true;
        const int32_t* a = saved.progressA;
        request.mGraph = kMapGraph;
        request.mPosition = a[2];
        request.mPoints = a[3];
        request.mLevelGain = a[4];
        request.mScore = a[5];
        request.mSupercomboPoints = a[6];
        request.mComboPoints = a[7];
        request.mProgress = a[8];
        request.mResult = a[9];
        request.mLives = a[10];
        request.mEnergy = a[11];
    } else {
        mPhaseFlag = false;
        const int32_t* b = saved.progressB;
        request.mGraph = kEndlessGraph;
        request.mPosition = b[1];
        request.mScore = b[2];
        request.mEnergy = b[3];
        request.mProgress = b[4];
        request.mCycleSeed = b[0];
    }
    // A graph the levels file lacks has nothing to play: the player stays on the menu.
    if (mServices.mGraphs->GraphAt(request.mGraph).mEntryCount == 0) {
        Lumo::AppLog::GetInstance()->Printf(Lumo::AppLog::kToFile,
                                            "ERROR no level graph %d: the game is not started", request.mGraph);
        mPendingStart = kStartNone;
        Open(kMenu);
        return;
    }
    // The map game comes back to the level map after each load; the endless game plays on at once.
    mServices.mLevels->SetLevelMapWanted(mPendingStart == kStartMapGame);
    mPendingStart = kStartNone;
    mNextPosition = request.mPosition;
    // Before the request: a level map it shows at once pauses the game again.
    SetPaused(false);
    const int32_t result = mServices.mLevels->RequestLevel(request);
    CBoardWidget& board = *mServices.mBoard;
    mServices.mGui->mOwner = &board;
    // Handled at once: the stage window covers the board from black.
    if ((result & kHandledAtOnce) != 0) {
        board.SetFadeState(CBoardWidget::kCovered);
        board.SetFade(0.0f);
    } else {
        board.FadeOutUnlessCovered();
    }
    if (CBackgroundWidget* background = mServices.mBackground) {
        if (background->State() != CBackgroundWidget::kHidden)
            background->FadeOut();
        background->SetMenuOpened(false);
    }
    mServices.mFlow->SetGameScreenShown(false);
}

void CGameCommands::OnWindowAction(int32_t kind)
{
    if (kind != CBoardWidget::kOverlayAction)
        return;
    CLevelController& levels = *mServices.mLevels;
    CBoardWidget& board = *mServices.mBoard;
    if (levels.StageChanged()) {
        board.SetFieldShown(false);
        board.SetBackgroundOn(false);
        mServices.mFlow->Reload();
        return;
    }
    if (!mPhaseFlag) {
        StartLevelAtOnce(levels.CurrentPosition());
        SetPaused(false);
        mServices.mFlow->ShowBall();
        Close();
    }
    // The loading wheel has nothing more to wait for.
    mServices.mGui->SetHighlight(false);
    board.SetOverlayOn(false);
    board.StopOverlayAnim();
}

void CGameCommands::StartLevelAtOnce(int32_t position)
{
    CLevelController& levels = *mServices.mLevels;
    mServices.mBoard->SetFieldShown(true);
    levels.SetProgress(0);
    levels.StartLevel(levels.CurrentGraph(), position);
    levels.UpdateProgressBar();
}

void CGameCommands::OpenWindow(int32_t id, int32_t immediate)
{
    mServices.mGui->OpenWindow(id, immediate != 0);
}

void CGameCommands::ShowLevelMap(int32_t position)
{
    Close();
    mNextPosition = position;
    mServices.mFlow->ShowLevelMap(position / kStageSize, position % kStageSize, position % kStageSize);
}

void CGameCommands::OnTextLabelTrackFinished(CAnimTrack*, const CGUITrackEntry& entry)
{
    CTextLabels::Get().OnAnimFinished(entry.mA);
}

const CUserProfile* CGameCommands::CurrentProfile() const
{
    const CUserProfiles& profiles = *mServices.mProfiles;
    const int32_t current = profiles.CurrentIndex();
    return current >= 0 && current < profiles.Count() ? &profiles.Record(current) : nullptr;
}

int32_t CGameCommands::EntryBonus() const
{
    const CLevelController& levels = *mServices.mLevels;
    return mServices.mGraphs->GetEntryBonus(levels.CurrentGraph(), levels.CurrentPosition());
}
