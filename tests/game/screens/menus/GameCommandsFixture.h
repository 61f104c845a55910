#pragma once

#include "game/board/play/CGameProcessor.h"
#include "game/screens/CGameFlowHost.h"
#include "game/screens/menus/CBackgroundWidget.h"
#include "game/screens/menus/CGameCommands.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/CSlotPanel.h"
#include "tests/game/board/levels/LevelFlowFixture.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

#include <memory>
#include <string>
#include <vector>

namespace CommandsTest {

// The application's flags, and its moves as lines: "menu", "map 0 3 4",
// "start", "reload", "cursor".
class RecordingFlow : public CGameFlowHost {
public:
    bool GamePaused() const override { return mPaused; }
    void SetGamePaused(bool paused) override { mPaused = paused; }
    bool GameScreenShown() const override { return mScreenShown; }
    void SetGameScreenShown(bool shown) override { mScreenShown = shown; }
    void ShowBackgroundWidget() override;
    void ShowLevelMap(int32_t map, int32_t from, int32_t to) override;
    void StartSelectedLevel() override { mCalls.push_back("start"); }
    void ShowBall() override { mCalls.push_back("ball"); }
    void Reload() override { mCalls.push_back("reload"); }
    void LoadCursor() override { mCalls.push_back("cursor"); }

    std::string Calls() const;

    bool mPaused = true;
    bool mScreenShown = false;
    std::vector<std::string> mCalls;
};

// The game's commands on the window system loaded from the fixture window
// file (with info labels in every status window), over the level controller
// of the level-flow fixture, a board widget and a HUD panel without slides. Graph 0 holds twelve levels, so that position 10
// begins a second map; graph 1 is the endless game.
class CommandsFixture : public BoardTest::LevelFlowFixture {
protected:
    void SetUp() override;

    // Starts the level at the position and plays it from the end of its
    // intro, loading a new map on the way when the stage changes.
    void PlayAt(int32_t graph, int32_t position);
    // Presses and releases the button of the command in the window shown.
    void Click(int32_t command);
    // Runs the window system until no transition is under way.
    void Settle();
    // Runs the window system's tracks count times.
    void Step(int count);
    // The window on screen, -1 for none.
    int32_t Shown() const;
    // The text of the info label in the slot.
    std::string Slot(int32_t slot);
    void OpenNow(int32_t window) { mGui->OpenWindow(window, true); }
    // Saved progress of the current player.
    void SaveA(const std::vector<int32_t>& values);
    void SaveB(const std::vector<int32_t>& values);

    GUITest::TestHost mGuiHost;
    RecordingFlow mFlow;
    std::unique_ptr<CGameCommands> mCommands;
    std::unique_ptr<CGUIController> mGui;
    std::unique_ptr<CSlotPanel> mSlots;
    CGameProcessor mProcessor{ProcessorLinks{}};
    std::unique_ptr<CBoardWidget> mBoard;
    std::unique_ptr<CGamePanel> mPanel;
    CBackgroundWidget mBackdrop;
};

} // namespace CommandsTest
