#include "framework/app/LumoAppBase.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/data/JukeBox.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/CGameFlowHost.h"
#include "game/screens/menus/CGameCommands.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"

#include <algorithm>

namespace {

using namespace GUIWindowId;

constexpr int32_t kStageSize = 10;
constexpr float kMenuSongFade = 0.005f;

} // namespace

void CGameCommands::SetSlotValue(int32_t slot, int32_t value)
{
    CGUIController& gui = *mServices.mGui;
    gui.SetLabelValue(gui.InfoLabelIndex(slot), value);
}

void CGameCommands::OpenStatusWindow(int32_t id)
{
    CLevelController& levels = *mServices.mLevels;
    const int32_t position = levels.CurrentPosition();
    const int32_t level = position % kStageSize + 1;
    const int32_t stage = position / kStageSize + 1;
    mServices.mPanel->SlideOnOff(false);
    SetPaused(true);
    switch (id) {
    case kLevelStart:
        SetSlotValue(0, level);
        SetSlotValue(1, stage);
        SetSlotValue(2, mServices.mGraphs->GetEntryModeDesc(levels.CurrentGraph(), position));
        SetSlotValue(3, levels.LevelKind());
        SetSlotValue(4, levels.LevelKind());
        break;
    case kGameoverContinue:
        SetSlotValue(25, levels.Score());
        SetSlotValue(26, levels.Lives() + 1);
        break;
    case kGameover:
        SetSlotValue(24, levels.Score());
        break;
    case kPauseScore:
    case kPauseBasic:
        FillPauseLabels(id);
        break;
    case kLevelEndClassic:
        levels.AddPoints(EntryBonus());
        FillLevelEndLabels(6, 9, 14);
        break;
    case kLevelEndPuzzle:
        levels.AddPoints(EntryBonus());
        FillLevelEndLabels(14, 17, 18);
        break;
    case kLevelEndCrazy:
        levels.AddPoints(EntryBonus());
        FillLevelEndLabels(18, 21, 24);
        break;
    case kScoreStart:
        // A run continued starts with its score, as the panel then shows it.
        SetSlotValue(5, levels.Score());
        break;
    case kPhaseEnd:
        FillPhaseLabels();
        break;
    case kGameoverHiscore:
        SetSlotValue(38, levels.Score());
        break;
    default:
        break;
    }
    Open(id);
}

void CGameCommands::FillLevelEndLabels(int32_t firstSlot, int32_t clearFirst, int32_t clearEnd)
{
    const CLevelController& levels = *mServices.mLevels;
    SetSlotValue(firstSlot, levels.CurrentPosition() % kStageSize + 1);
    SetSlotValue(firstSlot + 1, levels.CurrentPosition() / kStageSize + 1);
    SetSlotValue(firstSlot + 2, levels.GetResultIndex());
    for (int32_t slot = clearFirst; slot < clearEnd; ++slot)
        mServices.mGui->ClearLabelText(slot);
}

void CGameCommands::FillPhaseLabels()
{
    // The map just done and the one that follows it; after the graph's last map play goes on from its first.
    const CLevelController& levels = *mServices.mLevels;
    const int32_t entries = mServices.mGraphs->GraphAt(levels.CurrentGraph()).mEntryCount;
    const int32_t maps = std::max(1, (entries + kStageSize - 1) / kStageSize);
    const int32_t map = levels.CurrentPosition() / kStageSize;
    SetSlotValue(27, map + 1);
    SetSlotValue(28, (map + 1) % maps + 1);
}

void CGameCommands::FillPauseLabels(int32_t id)
{
    const CLevelController& levels = *mServices.mLevels;
    CGUIController& gui = *mServices.mGui;
    const std::string player = mServices.mProfiles->CurrentName();
    if (id != kPauseBasic) {
        gui.SetInfoLabelText(34, player);
        return;
    }
    const int32_t position = levels.CurrentPosition();
    SetSlotValue(29, position % kStageSize + 1);
    gui.SetInfoLabelText(30, player);
    gui.SetInfoLabelText(31, levels.Table().LevelName(mServices.mGraphs->GetEntryLevel(levels.CurrentGraph(), position)));
    SetSlotValue(32, levels.GetResultIndex());
    SetSlotValue(33, position / kStageSize + 1);
}

void CGameCommands::OpenPauseWindow()
{
    CGUIController& gui = *mServices.mGui;
    if (gui.WindowOpened())
        return;
    const int32_t id = mServices.mLevels->GameMode() == 1 ? kPauseBasic : kPauseScore;
    FillPauseLabels(id);
    gui.OpenWindow(id, true);
    mServices.mPanel->HideNow();
    SetPaused(true);
}

void CGameCommands::TogglePause()
{
    CGUIController& gui = *mServices.mGui;
    if (mServices.mFlow->GamePaused()) {
        if (!gui.WindowOpened())
            return;
        const int32_t open = gui.LastOpenedWindow();
        if (open != kPauseScore && open != kPauseBasic)
            return;
        if (mFromKeyboard)
            mServices.mApp->PlaySoundById(kSoundClick);
        Resume();
        return;
    }
    mServices.mPanel->SlideOnOff(false);
    SetPaused(true);
    const int32_t id = mServices.mLevels->GameMode() == 1 ? kPauseBasic : kPauseScore;
    FillPauseLabels(id);
    Open(id);
}

void CGameCommands::OnEscapeKey()
{
    CGUIController& gui = *mServices.mGui;
    mFromKeyboard = true;
    if (!gui.WindowOpened()) {
        TogglePause();
    } else {
        switch (gui.LastOpenedWindow()) {
        case kLevelStart:
            mServices.mApp->PlaySoundById(kSoundClick);
            mServices.mLevels->BeginPlay();
            Resume();
            break;
        case kPauseScore:
        case kPauseBasic:
            mServices.mApp->PlaySoundById(kSoundClick);
            Resume();
            break;
        case kLevelEndClassic:
            mServices.mApp->PlaySoundById(kSoundClick);
            RunCommand(8);
            break;
        default:
            break;
        }
    }
    mFromKeyboard = false;
}

void CGameCommands::ReturnToMenu()
{
    if (mServices.mFlow->GameScreenShown())
        return;
    CLevelController& levels = *mServices.mLevels;
    JukeBox& jukebox = JukeBox::Get();
    // A level song the jukebox does not hold has nothing to fade from: the
    // cross-fade would leave the menu silent.
    const int32_t song = levels.Song();
    if (song > 0 && song < int32_t(jukebox.GetSongs().size()))
        jukebox.CrossFade(song, 0, kMenuSongFade, kMenuSongFade);
    else
        jukebox.PlaySong(0, kMenuSongFade);
    levels.SaveProgress();
    levels.SetSong(0);
    mServices.mPanel->SlideOnOff(false);
    mServices.mBoard->FadeOutUnlessCovered();
    mServices.mFlow->ShowBackgroundWidget();
}
