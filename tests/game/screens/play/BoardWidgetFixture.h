#pragma once

#include "game/board/levels/CLevelController.h"
#include "game/data/effects/CBackground.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/play/CPauseHandler.h"
#include "tests/game/board/bonuses/BonusFixture.h"
#include "tests/game/board/levels/LevelFlowFixture.h"
#include "tests/game/screens/menus/GameCommandsFixture.h"
#include "tests/game/screens/windows/GUITestDoubles.h"

namespace BoardTest {

struct RecordingPause : CPauseHandler {
    void OnEscapeKey() override { ++mEscapes; }
    void TogglePause() override { ++mToggles; }

    int32_t mEscapes = 0;
    int32_t mToggles = 0;
};

// The board widget over the sample field, ball, processor and bonuses, with a
// level controller on levels of every kind, the sample HUD panel and a window
// system without windows. The widget covers 800 x 600.
class BoardWidgetFixture : public BonusFixture {
protected:
    BoardWidgetFixture();

    // Starts the points level of graph 0, then ResetBoard.
    void StartPlay();
    // The field of five rows "00123", "01230", "12301", "23012", "30120", the
    // ball standing on (2, 2) and the widget's input free.
    void ResetBoard();
    // Runs the widget's frame step n times.
    void Steps(int32_t n, float dt = 1.0f);
    // Steps until the ball has landed and the landing has run; false after a limit.
    bool StepUntilLanded();
    // The widget's point over the centre of the cell.
    static void CellPoint(const CGameField& field, int32_t column, int32_t row, int32_t* x, int32_t* y);
    void PointAt(int32_t column, int32_t row);
    void Click(int32_t column, int32_t row);
    // The turn of a level waiting for its blocks to settle: block moves
    // pending, settleTimer time units left.
    void MakeBusy(float settleTimer);

    GUITest::TestHost mGuiHost;
    GUITest::SpyHandler mSpy;
    CGUIController mGui{&App(), &mGuiHost, &mSpy};
    CPieceBase mPieces{mImages};
    CFieldBase mShapes;
    CLevelGraphs mGraphs;
    CUserProfiles mProfiles;
    CHiscoreTable mHiscores;
    RecordingLevelHost mLevelHost;
    RecordingWindows mWindows;
    CLevelController mLevels;
    CBackground mBackground{mImages, mAnims, mTracks, mSceneObjects};
    CommandsTest::RecordingFlow mFlow;
    RecordingPause mPause;
    CGamePanel mPanel;
    CBoardWidget mBoard;
};

} // namespace BoardTest
