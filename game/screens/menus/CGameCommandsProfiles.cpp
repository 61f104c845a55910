#include "framework/app/LumoAppBase.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/CGameFlowHost.h"
#include "game/screens/menus/CGameCommands.h"
#include "game/screens/windows/CGUIController.h"

namespace {

using namespace GUIWindowId;

constexpr int32_t kSoundSlider = 0;
constexpr int32_t kMusicSlider = 1;
constexpr int32_t kFullScreenBox = 0;
constexpr int32_t kCursorBox = 1;
constexpr int32_t kFreshLives = 3;
constexpr int32_t kFullEnergy = 1000;

} // namespace

// ---- players ----

int32_t CGameCommands::ListSelection() const
{
    const GUIListBox* list = mServices.mGui->ListBox(0);
    const int32_t selection = list != nullptr ? list->mSelection : -1;
    return selection >= 0 && selection < mServices.mProfiles->Count() ? selection : -1;
}

void CGameCommands::OpenPlayerList()
{
    CGUIController& gui = *mServices.mGui;
    const CUserProfiles* profiles = mServices.mProfiles;
    if (GUIListBox* list = gui.ListBox(0))
        list->mSelection = profiles->CurrentIndex();
    gui.SetListCount(profiles->Count());
    gui.SetListSource(0, [profiles](int32_t line, std::string* text) {
        if (line < 0 || line >= profiles->Count())
            return false;
        *text = profiles->Record(line).name;
        return true;
    });
    Open(kPlayerList);
}

void CGameCommands::OnProfileListChoice(int32_t editId, const std::string& text)
{
    CUserProfiles& profiles = *mServices.mProfiles;
    if (editId == 0) {
        if (text.empty()) {
            Open(kCreatePlayer1Empty);
            return;
        }
        profiles.Add(text);
        Open(profiles.SelectByName(text) ? kMenu : kCreatePlayer1Empty);
        return;
    }
    if (editId != 1 || text.empty())
        return;
    if (profiles.Contains(text)) {
        Open(kCreatePlayer2Identical);
        return;
    }
    profiles.Add(text);
    profiles.SelectByName(text);
    mServices.mGui->SetListCount(profiles.Count());
    Open(kMenu);
}

void CGameCommands::OnProfileSelected()
{
    mServices.mApp->PlaySoundById(kSoundClick);
    if (const int32_t selection = ListSelection(); selection >= 0)
        mServices.mProfiles->SetCurrentIndex(selection);
    Open(kMenu);
}

void CGameCommands::DeleteSelectedPlayer()
{
    // Without a valid selection there is no line to take out of the list.
    if (const int32_t selection = ListSelection(); selection >= 0) {
        mServices.mProfiles->Remove(selection);
        mServices.mGui->RemoveListLine(selection);
    }
    Open(mServices.mProfiles->Count() > 0 ? kPlayerList : kCreatePlayer1);
}

// ---- the saved games of the current player ----

void CGameCommands::ChooseStart()
{
    mChosenMode = 1;
    const CUserProfile* profile = CurrentProfile();
    if (profile != nullptr && profile->progressA[0] != 0) {
        Open(kGameContinue);
    } else if (profile != nullptr && profile->progressA[2] > 0) {
        mPendingStart = kStartNone;
        Open(kStartLast);
    } else {
        Open(kStageSelect);
    }
}

void CGameCommands::ResetEndlessGame()
{
    const int32_t values[CUserProfile::kProgressBCount] = {0, 0, 0, kFullEnergy, 0};
    mServices.mProfiles->SetRecordB(values);
}

void CGameCommands::NewMapGame(int32_t stage)
{
    const int32_t values[CUserProfile::kProgressACount] = {1, stage, stage * 10, 0, 0, 0, 0, 0, 0, 0,
                                                           kFreshLives, kFullEnergy};
    mServices.mProfiles->SetRecordA(values);
}

void CGameCommands::RestartSavedMap()
{
    const CUserProfile* profile = CurrentProfile();
    if (profile == nullptr)
        return;
    const int32_t* a = profile->progressA;
    const int32_t values[CUserProfile::kProgressACount] = {1, a[1], a[2], 0, 0, 0, 0, 0, 0, a[9], kFreshLives,
                                                           kFullEnergy};
    mServices.mProfiles->SetRecordA(values);
}

// ---- options ----

void CGameCommands::SaveOptions()
{
    Lumo::LumoAppBase& app = *mServices.mApp;
    CGUIController& gui = *mServices.mGui;
    mSavedSfxVolume = app.GetSfxVolume();
    mSavedMusicVolume = app.GetMusicVolume();
    mSavedCustomCursors = app.mCustomCursorsEnabled;
    gui.SetSliderPos(kMusicSlider, mSavedMusicVolume);
    gui.SetSliderPos(kSoundSlider, mSavedSfxVolume);
    if (GUICheckbox* box = gui.Checkbox(kFullScreenBox))
        box->mValue = app.mWindowed ? 0 : 1;
    if (GUICheckbox* box = gui.Checkbox(kCursorBox))
        box->mValue = mSavedCustomCursors ? 1 : 0;
}

void CGameCommands::ApplyOptions()
{
    Lumo::LumoAppBase& app = *mServices.mApp;
    CGUIController& gui = *mServices.mGui;
    const GUICheckbox* fullScreen = gui.Checkbox(kFullScreenBox);
    const GUICheckbox* cursor = gui.Checkbox(kCursorBox);
    // A box left as it was keeps the display as it is.
    const bool windowed = fullScreen == nullptr || fullScreen->mValue == 0;
    if (windowed != app.mWindowed)
        app.ChangeWindowedMode(windowed);
    const bool custom = cursor != nullptr && cursor->mValue != 0;
    app.EnableCustomCursors(custom);
    if (custom)
        mServices.mFlow->LoadCursor();
    // A desktop that refused the screen leaves the box open on the mode the game is in.
    if (app.mWindowed != windowed) {
        SaveOptions();
        return;
    }
    LeaveOptions();
}

void CGameCommands::CancelOptions()
{
    Lumo::LumoAppBase& app = *mServices.mApp;
    app.EnableCustomCursors(mSavedCustomCursors);
    app.SetMusicVolume(mSavedMusicVolume);
    app.SetSfxVolume(mSavedSfxVolume);
    LeaveOptions();
}

void CGameCommands::LeaveOptions()
{
    if (mOptionsFromMenu)
        Open(kMenu);
    else
        Resume();
}

void CGameCommands::ApplyVolumeSlider(int32_t slider, float value, bool dragging)
{
    Lumo::LumoAppBase& app = *mServices.mApp;
    if (slider == kMusicSlider) {
        app.SetMusicVolume(value);
    } else if (slider == kSoundSlider) {
        app.SetSfxVolume(value);
        if (!dragging)
            app.PlaySoundById(kSoundClick);
    }
}
