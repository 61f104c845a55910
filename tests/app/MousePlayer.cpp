#include "tests/app/MousePlayer.h"

#include "app/CGameApp.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"

#include <sstream>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// Windows fade out after a click; the next look comes after that.
constexpr int32_t kAfterPress = 20;
// A ball sent lands some updates later.
constexpr int32_t kAfterCell = 5;
// The field must stay ready this long, so that nothing started with the last landing is missed.
constexpr int32_t kReadyUpdates = 3;

// The button that goes on with the game in each window; from a pause or the
// panel's menu that is back to play, after a lost level the level again.
struct WindowButton {
    int32_t mWindow;
    int32_t mCommand;
};
constexpr WindowButton kOnwards[] = {
    {kLevelStart, 0},         {kScoreStart, 1},       {kPauseScore, 2},         {kPauseBasic, 5},
    {kLevelEndClassic, 8},    {kLevelEndPuzzle, 9},   {kLevelEndCrazy, 10},     {kGameoverContinue, 11},
    {kGameover, 13},          {kStageSelect, 43},     {kGameContinue, 36},      {kGameoverHiscore, 46},
    {kHiscoreHit, 47},        {kMenuConfirm, 52},     {kHiscoreShowGameover, 61},
};

constexpr int32_t kCreatePlayerOk = 25;
// The tally line that shows the level's gain, counted last.
constexpr int32_t kTallyGainSlot = 13;
constexpr int32_t kMenuPlay = 17;
constexpr int32_t kMenuQuit = 22;
constexpr int32_t kMapPlay = 56;
constexpr int32_t kQuitYes = 55;

} // namespace

MousePlayer::MousePlayer(CGameApp& game, GameMouse mouse, std::string name, Goal goal)
    : mGame(game), mMouse(mouse), mName(std::move(name)), mGoal(goal)
{
}

bool MousePlayer::Press(int32_t command)
{
    if (!mMouse.PressButton(command))
        return false;
    mWaitUntil = mUpdate + kAfterPress;
    return true;
}

void MousePlayer::Update(int32_t update)
{
    mUpdate = update;
    // Until a load is handled, the loading thread owns the game.
    if (mGame.LoadingStateNow() != CGameApp::kLoadHandled)
        return;
    const int32_t window = mMouse.ShownWindow();
    if (window != mLastShown) {
        mLastShown = window;
        mFieldReady = 0;
        if (window >= 0)
            OnWindow(window);
    }
    if (update < mWaitUntil)
        return;
    switch (window) {
    case -1:
        PlayCell();
        return;
    case kCreatePlayer1:
        Press(kCreatePlayerOk);
        return;
    case kMenu:
        Press(mGoal == kQuit ? kMenuQuit : kMenuPlay);
        return;
    case kQuitConfirm:
        mQuitConfirmed = Press(kQuitYes);
        return;
    case kLevelEndClassic:
        // The tally counts its lines one after the other; the level's gain comes last.
        if (!TallyCounted())
            return;
        break;
    case kLevelMap: {
        // After a won level the map's highlight moves on to the next position; watch it arrive.
        const CLevelMap& map = *mGame.LevelMap();
        if (map.HighlightState() != CLevelMap::kAtPosition)
            return;
        if (Press(kMapPlay) && mGoal == kLose && mMapTarget < 0)
            mMapTarget = map.CurrentPosition();
        return;
    }
    default:
        break;
    }
    for (const WindowButton& row : kOnwards) {
        if (row.mWindow == window) {
            Press(row.mCommand);
            return;
        }
    }
}

void MousePlayer::OnWindow(int32_t window)
{
    mWindowsSeen.push_back(window);
    const CLevelController& levels = *mGame.LevelController();
    switch (window) {
    case kCreatePlayer1:
        mMouse.Type(mName);
        break;
    case kLevelStart:
        mStartedPositions.push_back(levels.CurrentPosition());
        mStartedKinds.push_back(levels.LevelKind());
        break;
    case kLevelEndClassic:
    case kLevelEndPuzzle:
    case kLevelEndCrazy:
        if (mGoal == kWin) {
            mTallyScore = levels.Score();
            mGoal = kLose;
        }
        break;
    case kGameover:
    case kGameoverHiscore:
        mGameOverScore = levels.Score();
        mGoal = kQuit;
        break;
    default:
        break;
    }
}

bool MousePlayer::TallyCounted()
{
    CGUIController& gui = *mGame.GuiController();
    const GUILabel* gain = gui.Label(gui.InfoLabelIndex(kTallyGainSlot));
    const int32_t expected = mGame.LevelController()->LevelGain();
    if (gain == nullptr || (gain->mFlags & GUILabel::kCounting) != 0 || gain->mTarget != expected ||
        gain->mCurrent != expected)
        return false;
    mTallyGain = expected;
    return true;
}

bool MousePlayer::FieldTakesClick() const
{
    // A ball landing while blocks still move takes nothing: to score, wait for the field to settle.
    return mMouse.FieldTakesClick() && (mGoal != kWin || mGame.Processor()->PendingBlockMoves() == 0);
}

bool MousePlayer::PickCell(bool take, int32_t* column, int32_t* row) const
{
    const CGameField& field = *mGame.Field();
    const CCellGrid& grid = field.Grid();
    int32_t best = -1;
    int32_t bestSize = 0;
    for (int32_t cell = 0; cell < grid.CellCount(); ++cell) {
        // A bonus block fires instead of scoring.
        const int32_t size = mMouse.GroupTaken(cell);
        if (size < 0 || field.Record(cell).mBlock->mBonus != nullptr || (size > 0) != take)
            continue;
        if (best < 0 || size > bestSize) {
            best = cell;
            bestSize = size;
        }
    }
    if (best < 0)
        return false;
    *column = best % grid.Width();
    *row = best / grid.Width();
    return true;
}

void MousePlayer::PlayCell()
{
    if (mGoal == kQuit || !FieldTakesClick()) {
        mFieldReady = 0;
        return;
    }
    if (++mFieldReady < kReadyUpdates)
        return;
    int32_t column = 0;
    int32_t row = 0;
    if (!PickCell(mGoal == kWin, &column, &row))
        return;
    mMouse.ClickCell(column, row);
    ++mCellClicks;
    mFieldReady = 0;
    mWaitUntil = mUpdate + kAfterCell;
}

std::string MousePlayer::Report() const
{
    std::ostringstream out;
    if (mGame.LoadingStateNow() != CGameApp::kLoadHandled) {
        out << "update " << mUpdate << ", loading in state " << mGame.LoadingStateNow();
        return out.str();
    }
    const CGUIController& gui = *mGame.GuiController();
    const CLevelController& levels = *mGame.LevelController();
    const CBoardWidget& board = *mGame.Board();
    out << "update " << mUpdate << ", goal " << mGoal << ", window " << gui.CurrentWindow() << " in state "
        << gui.State() << ", paused " << mGame.GamePaused() << ", field active " << board.FieldActive()
        << ", input lock " << board.InputLock() << ", level state " << levels.State() << " at position "
        << levels.CurrentPosition() << ", energy " << levels.Energy() << ", lives " << levels.Lives() << ", score "
        << levels.Score() << ", ball " << mGame.Ball()->State() << ", block moves "
        << mGame.Processor()->PendingBlockMoves() << ", map " << mGame.LevelMap()->VisibilityState()
        << ", cell clicks " << mCellClicks << ", windows seen:";
    for (const int32_t window : mWindowsSeen)
        out << ' ' << window;
    return out.str();
}

} // namespace AppTest
