#pragma once

#include "game/board/field/CFieldBase.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/board/levels/CLevelHost.h"
#include "game/board/levels/CLevelWindows.h"
#include "game/data/pictures/CImageTable.h"
#include "game/data/pictures/CPieceBase.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "tests/game/support/GameFixture.h"

#include <string>
#include <vector>

namespace BoardTest {

// Keeps what the level controller asks of the game as lines of text; answers
// from its fields.
class RecordingLevelHost : public CLevelHost {
public:
    void SetProcessorState(int32_t state) override;
    void SetHazards(bool on, int32_t flags) override;
    void SetDrain(bool on, float rate) override;
    void StopPendingProcess() override {}
    void ClearProcessorHold() override { mCalls.push_back("ClearHold"); }
    void StartPhase(int32_t sequence) override;
    void RestartBonusTimer() override {}
    void ProcessGroup(int32_t group) override;
    void ShowPopup(int32_t kind, int32_t value) override;
    void StartHazardBall() override { mCalls.push_back("HazardBall"); }
    bool BlockMovesPending() const override { return false; }
    bool FieldMoving() const override { return mFieldMoving; }
    void SetArrows(bool stop, bool dim, bool hide, bool show, bool flash) override;
    void ResetComboWindow(float speed) override { mComboSpeed = speed; }
    void StartCellRuns(bool record) override { mCalls.push_back(record ? "CellRuns on" : "CellRuns off"); }
    void BallCell(int32_t* column, int32_t* row) const override;
    void ResetBall(bool placeOnCell, int32_t column, int32_t row) override;
    void SetBallSpeeds(float first, float second) override;
    void ClearBallState() override {}
    void SetBonusGeneration(bool present, float minimum, float maximum) override;
    void SetBonusAmount(int32_t bonus, int32_t amount) override;
    void SetBonusActionSpeeds(float, float) override {}
    void SetCheckpointBonuses(int32_t, int32_t, float) override {}
    bool ClosedShellUnderBall() const override { return false; }
    void SetUpField(int32_t shape) override;
    void ApplyOnload(int32_t gameBorder, int32_t background, int32_t ball) override;
    int32_t CrazyBlocksToTurn() const override { return mCrazyToTurn; }
    void CrazyNewTurn(int32_t colours) override { mCalls.push_back("CrazyNewTurn " + std::to_string(colours)); }
    void CrazyPhaseAnim() override { mCalls.push_back("CrazyPhaseAnim"); }
    void CrazyPhaseStep(int32_t cell) override;
    bool StartSuperbonus(int32_t) override
    {
        mCalls.push_back("Superbonus");
        return true;
    }
    void SetBoardActive(bool) override {}
    void SetBoardBusy(bool) override {}
    void RestartBoard() override { mCalls.push_back("RestartBoard"); }
    void ShowBoard() override { mCalls.push_back("ShowBoard"); }
    void CenterBoardOnField() override { mCalls.push_back("Centre"); }
    void SetPanelLayout(int32_t mode, bool undoButton) override
    {
        mCalls.push_back("PanelLayout " + std::to_string(mode) + (undoButton ? " undo" : ""));
    }
    void SetPanelLabels(int32_t, int32_t) override {}
    void SetPanelScore(int32_t) override {}
    void SetPanelCompletion(int32_t percent) override { mCompletion = percent; }
    void SetPanelEnergy(int32_t, bool, float) override {}
    void SlidePanel(bool) override {}
    void HidePanelNow() override { mCalls.push_back("HidePanel"); }
    void ShowPanelPiece(bool) override {}
    void ChangePanelPiece() override { mCalls.push_back("ChangePanelPiece"); }
    void PlaySample(int32_t sample) override;
    void SaveFiles() override {}

    bool Has(const std::string& call) const;

    std::vector<std::string> mCalls;
    int32_t mBallColumn = 0;
    int32_t mBallRow = 0;
    int32_t mCrazyToTurn = 1;
    int32_t mCompletion = -1;
    int32_t mProcessorState = -1;
    bool mFieldMoving = false;
    float mComboSpeed = -1.0f;
    // Filled at random as the game does when set; otherwise the field is kept.
    CGameField* mFillField = nullptr;
};

// Keeps the windows asked for: status windows by id, others as 100 + id, the
// level map as 200 + position; passes them on when mForward is set.
class RecordingWindows : public CLevelWindows {
public:
    void OpenStatusWindow(int32_t id) override
    {
        mOpened.push_back(id);
        if (mForward)
            mForward->OpenStatusWindow(id);
    }
    void OpenWindow(int32_t id, int32_t immediate) override
    {
        mOpened.push_back(100 + id);
        if (mForward)
            mForward->OpenWindow(id, immediate);
    }
    void ShowLevelMap(int32_t position) override
    {
        mOpened.push_back(200 + position);
        if (mForward)
            mForward->ShowLevelMap(position);
    }
    std::vector<int32_t> mOpened;
    CLevelWindows* mForward = nullptr;
};

// The sample kinds of level: graph 0 plays points, timed, puzzle and crazy;
// graph 1 is the endless game, and graph 2 an endless game that lists points,
// points, puzzle, points and crazy.
void LoadLevels(CLevelController& levels, CLevelGraphs& graphs, const CFieldBase& shapes);
// Starts graph/position from nothing and runs the intro's end up to play.
void PlayLevel(CLevelController& levels, const RecordingWindows& windows, int32_t graph, int32_t position,
               int32_t lives = 2, int32_t result = 0);

// A level controller on a small field with the levels of LoadLevels. The
// profile "ann" is current.
class LevelFlowFixture : public GameTest::GameFixture {
protected:
    void SetUp() override;

    // The field's cells as SetCells reads them (colour 4 is reserved).
    void Field(const std::vector<std::string>& rows);
    // Starts graph/position from nothing and runs the intro's end up to play.
    void Play(int32_t graph, int32_t position, int32_t lives = 2, int32_t result = 0);
    // Lands the ball on the cell: the end of a jump (a turn), or else a bounce at rest.
    int32_t Land(int32_t column, int32_t row, bool jump = true);
    // Runs the end test and the state handler until a window opens.
    void FinishLevel();

    CGameField mField;
    CImageTable mImages{&App()};
    CPieceBase mPieces{mImages};
    CFieldBase mShapes;
    CLevelGraphs mGraphs;
    CUserProfiles mProfiles;
    CHiscoreTable mHiscores;
    RecordingLevelHost mHost;
    RecordingWindows mWindows;
    CLevelController mLevels{{mField.Grid(), mPieces, mGraphs, mProfiles, mHiscores, mHost, mWindows, 4}};
};

} // namespace BoardTest
