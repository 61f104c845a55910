#pragma once

#include "game/board/levels/CLevelWindows.h"
#include "game/screens/play/CPauseHandler.h"
#include "game/screens/windows/CGUICommandHandler.h"

#include <cstdint>
#include <string>

class CBackgroundWidget;
class CBoardWidget;
class CGameFlowHost;
class CGamePanel;
class CGUIController;
class CHiscoreTable;
class CLevelController;
class CLevelGraphs;
class CSlotPanel;
class CUserProfiles;
struct CUserProfile;

namespace Lumo {
class LumoAppBase;
}

// What the game's commands work on; every pointer belongs to the application
// and all but the two marked are needed once a window opens. The level
// controller, the board widget and the HUD panel take the commands as their
// windows or pause handler, so they may be filled in after construction
// (through CGameCommands::Services).
struct CGameCommandServices {
    // Sounds, volumes, the windowed mode, custom cursors and shutdown.
    Lumo::LumoAppBase* mApp = nullptr;
    // The paused and game-screen flags and the moves between menu, map and play.
    CGameFlowHost* mFlow = nullptr;
    CGUIController* mGui = nullptr;
    CLevelController* mLevels = nullptr;
    CLevelGraphs* mGraphs = nullptr;
    CUserProfiles* mProfiles = nullptr;
    CHiscoreTable* mHiscores = nullptr;
    CBoardWidget* mBoard = nullptr;
    CGamePanel* mPanel = nullptr;
    // May be null: then the stage select window has no glyphs.
    CSlotPanel* mSlotPanel = nullptr;
    // May be null: then starting a game leaves no menu backdrop to fade out.
    CBackgroundWidget* mBackground = nullptr;
};

// The game's answers to the window system: the command of every button, the
// status windows of the level flow with their labels, pause and Esc, the
// players and options, the tally after a level and the hooks of the windows'
// transitions.
class CGameCommands : public CGUICommandHandler, public CLevelWindows, public CPauseHandler {
public:
    // The level-map game plays graph 0, the endless game graph 1.
    static constexpr int32_t kMapGraph = 0;
    static constexpr int32_t kEndlessGraph = 1;
    // Pending starts: the saved game of the level-map game or of the endless game.
    static constexpr int32_t kStartNone = -1;
    static constexpr int32_t kStartMapGame = 17;
    static constexpr int32_t kStartEndlessGame = 18;
    static constexpr int32_t kSoundClick = 18;

    explicit CGameCommands(const CGameCommandServices& services);

    CGameCommandServices& Services() { return mServices; }

    // CGUICommandHandler.
    void OnGuiCommand(int32_t commandId, int32_t click) override;
    void OnWindowShowing(int32_t windowId) override;
    void OnWindowShown(int32_t windowId) override;
    void OnWindowClosed(int32_t windowId) override;
    void OnWindowAction(int32_t kind) override;
    void ApplyVolumeSlider(int32_t slider, float value, bool dragging) override;
    void OnProfileSelected() override;
    void OnProfileListChoice(int32_t editId, const std::string& text) override;
    // The tally after a level: each step counts one label up and the end of
    // the count runs the next; step 9 goes on after the level.
    void ShowScorePopup(int32_t step) override;
    void OnHudTrackFinished(CAnimTrack* track, const CGUITrackEntry& entry) override;
    void OnTextLabelTrackFinished(CAnimTrack* track, const CGUITrackEntry& entry) override;

    // CLevelWindows.
    void OpenStatusWindow(int32_t id) override;
    void OpenWindow(int32_t id, int32_t immediate) override;
    void ShowLevelMap(int32_t position) override;

    // CPauseHandler.
    void OnEscapeKey() override;
    void TogglePause() override;

    // The application lost the focus during play: the pause window at once.
    void OpenPauseWindow();
    // Back from play to the menu backdrop, saving the game.
    void ReturnToMenu();
    void FillPauseLabels(int32_t id);

    int32_t ChosenMode() const { return mChosenMode; }
    int32_t PendingStart() const { return mPendingStart; }
    bool PhaseFlag() const { return mPhaseFlag; }
    bool OptionsFromMenu() const { return mOptionsFromMenu; }
    // The graph position the level map leads to after the tally.
    int32_t NextPosition() const { return mNextPosition; }

private:
    // The table of command ids, without the click.
    void RunCommand(int32_t id);
    void Open(int32_t id);
    void Close();
    // Close, play on and bring the HUD back.
    void Resume();
    void SetPaused(bool paused);

    // Status windows.
    void SetSlotValue(int32_t slot, int32_t value);
    // Level number, stage number and result index of a level-end window, then the rest emptied.
    void FillLevelEndLabels(int32_t firstSlot, int32_t clearFirst, int32_t clearEnd);
    void FillPhaseLabels();
    void SkipTallyOrContinue();

    // Window hooks.
    void RunPendingStart();
    void StartLevelAtOnce(int32_t position);
    // Step 9 of the tally.
    void ContinueAfterLevel();
    int32_t EntryBonus() const;

    // Players and options.
    void OpenPlayerList();
    void ChooseStart();
    void ResetEndlessGame();
    void NewMapGame(int32_t stage);
    void RestartSavedMap();
    void DeleteSelectedPlayer();
    void ApplyOptions();
    void CancelOptions();
    void LeaveOptions();
    void SaveOptions();
    int32_t ListSelection() const;
    // Null without a current profile.
    const CUserProfile* CurrentProfile() const;

    CGameCommandServices mServices;
    int32_t mChosenMode = 0;
    int32_t mPendingStart = kStartNone;
    bool mPhaseFlag = false;
    bool mFromKeyboard = false;
    bool mOptionsFromMenu = false;
    float mSavedSfxVolume = 0.0f;
    float mSavedMusicVolume = 0.0f;
    bool mSavedCustomCursors = false;
    int32_t mNextPosition = 0;
};
