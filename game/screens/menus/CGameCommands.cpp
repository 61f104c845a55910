#include "game/screens/menus/CGameCommands.h"

#include "framework/app/LumoAppBase.h"
#include "game/board/levels/CLevelController.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CGUITrackEntry.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/CGameFlowHost.h"
#include "game/screens/windows/CSlotPanel.h"

namespace {

using namespace GUIWindowId;

} // namespace

CGameCommands::CGameCommands(const CGameCommandServices& services) : mServices(services) {}

void CGameCommands::OnGuiCommand(int32_t commandId, int32_t click)
{
    if (click != 0 || mFromKeyboard)
        mServices.mApp->PlaySoundById(kSoundClick);
    RunCommand(commandId);
}

void CGameCommands::RunCommand(int32_t id)
{
    CLevelController& levels = *mServices.mLevels;
    switch (id) {
    case 0:
    case 1:
        levels.BeginPlay();
        Resume();
        break;
    case 2:
    case 5:
    case 52:
        Resume();
        break;
    case 3:
    case 6:
        mOptionsFromMenu = false;
        Open(kOptions);
        break;
    case 4:
    case 7:
        Open(kMenuConfirm);
        break;
    case 8:
    case 9:
    case 10:
        SkipTallyOrContinue();
        break;
    case 11:
        StartLevelAtOnce(levels.CurrentPosition());
        Resume();
        break;
    case 12:
    case 47:
    case 53:
        Close();
        ReturnToMenu();
        break;
    case 13:
    case 14:
        Open(kHiscoreShowGameover);
        break;
    case 15:
        ShowScorePopup(9);
        break;
    case 16:
        OpenPlayerList();
        break;
    case 17:
        ChooseStart();
        break;
    case 18:
        if (const CUserProfile* profile = CurrentProfile(); profile != nullptr && profile->progressB[0] != 0) {
            mChosenMode = 2;
            Open(kGameContinue);
        } else {
            mPendingStart = kStartEndlessGame;
            ResetEndlessGame();
            Close();
        }
        break;
    case 19:
    case 51:
        Open(kHiscoreShow);
        break;
    case 20:
        mOptionsFromMenu = true;
        Open(kOptions);
        break;
    case 21:
        Open(kCredits);
        break;
    case 22:
        Open(kQuitConfirm);
        break;
    case 23:
        ApplyOptions();
        break;
    case 24:
        CancelOptions();
        break;
    case 25:
        OnProfileListChoice(0, mServices.mGui->GetEditText(0));
        break;
    case 26:
        Open(kCreatePlayer1);
        break;
    case 27:
        if (const int32_t selection = ListSelection(); selection >= 0)
            mServices.mProfiles->SetCurrentIndex(selection);
        Open(kMenu);
        break;
    case 28:
        mServices.mGui->ClearEditText();
        Open(kCreatePlayer2);
        break;
    case 29:
        if (const int32_t selection = ListSelection(); selection >= 0)
            mServices.mGui->SetInfoLabelText(37, mServices.mProfiles->Record(selection).name);
        else
            mServices.mGui->ClearLabelText(37);
        Open(kDeletePlayer);
        break;
    case 30:
    case 38:
    case 40:
    case 42:
    case 44:
    case 49:
    case 54:
    case 57:
    case 60:
    case 61:
        Open(kMenu);
        break;
    case 31:
        OnProfileListChoice(1, mServices.mGui->GetEditText(1));
        break;
    case 32:
    case 35:
        Open(kPlayerList);
        break;
    case 33:
        Open(kCreatePlayer2);
        break;
    case 34:
        DeleteSelectedPlayer();
        break;
    case 36:
        mPendingStart = mChosenMode == 2 ? kStartEndlessGame : kStartMapGame;
        Close();
        break;
    case 37:
        Open(mChosenMode == 2 ? kGameRestartScore : kGameRestartBasic);
        break;
    case 39:
        mPendingStart = mChosenMode == 2 ? kStartEndlessGame : kStartMapGame;
        ResetEndlessGame();
        Close();
        break;
    case 41:
        Open(kStageSelect);
        break;
    case 43:
        mPendingStart = kStartMapGame;
        NewMapGame(mServices.mSlotPanel != nullptr ? mServices.mSlotPanel->mSelected : 0);
        Close();
        break;
    case 45:
    case 46:
        Open(kHiscoreHit);
        break;
    case 48:
        Open(kHiscoreResetConfirm);
        break;
    case 50:
        mServices.mHiscores->ResetTables();
        Open(kHiscoreShow);
        break;
    case 55:
        mServices.mApp->RequestShutdown();
        break;
    case 56:
        mServices.mFlow->StartSelectedLevel();
        break;
    case 58:
        mPendingStart = kStartMapGame;
        RestartSavedMap();
        Close();
        break;
    case 59:
        mChosenMode = 1;
        Open(kStageSelect);
        break;
    default:
        break;
    }
}

void CGameCommands::Open(int32_t id)
{
    mServices.mGui->OpenWindow(id, false);
}

void CGameCommands::Close()
{
    mServices.mGui->CloseWindow(false);
}

void CGameCommands::Resume()
{
    Close();
    SetPaused(false);
    mServices.mPanel->SlideOnOff(true);
}

void CGameCommands::SetPaused(bool paused)
{
    mServices.mFlow->SetGamePaused(paused);
}

void CGameCommands::OnHudTrackFinished(CAnimTrack* track, const CGUITrackEntry& entry)
{
    mServices.mPanel->OnTrackAction(entry.mKind, track);
}
