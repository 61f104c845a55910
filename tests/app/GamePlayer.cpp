#include "tests/app/GamePlayer.h"

#include "app/CGameApp.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CBall.h"
#include "game/screens/play/CBoardWidget.h"

#include <algorithm>

namespace AppTest {
namespace {

// Windows fade out after a click; the next look comes after that.
constexpr int32_t kAfterPress = 20;
constexpr int32_t kReadyUpdates = 3;
// A ball sent lands some updates later.
constexpr int32_t kAfterCell = 5;

} // namespace

void GamePlayer::Update(int32_t update)
{
    mUpdate = update;
    // Until a load is handled, the loading thread owns the game.
    if (mGame.LoadingStateNow() != CGameApp::kLoadHandled)
        return;
    WatchLanding();
    if (mFocusBackAt >= 0) {
        if (update < mFocusBackAt)
            return;
        mMouse.SetFocus(true);
        mFocusBackAt = -1;
    }
    const int32_t window = mMouse.ShownWindow();
    if (window != mLastShown) {
        mLastShown = window;
        mFieldReady = 0;
        if (window >= 0) {
            mWindowsSeen.push_back(window);
            OnWindow(window);
        }
    }
    if (!ClickWhenDue(window) || update < mWaitUntil)
        return;
    if (window < 0)
        PlayField();
    else
        ActOnWindow(window);
}

bool GamePlayer::Press(int32_t command)
{
    if (!mMouse.PressButton(command))
        return false;
    mWaitUntil = mUpdate + kAfterPress;
    return true;
}

void GamePlayer::LeaveWindow(int32_t updates)
{
    mMouse.SetFocus(false);
    mFocusBackAt = mUpdate + updates;
}

bool GamePlayer::FieldReady(bool atRest)
{
    const bool ready = atRest ? mMouse.FieldAtRest() : mMouse.FieldTakesClick();
    mFieldReady = ready ? mFieldReady + 1 : 0;
    if (mFieldReady < kReadyUpdates)
        return false;
    mFieldReady = 0;
    return true;
}

void GamePlayer::ClickCell(int32_t cell)
{
    if (cell < 0)
        return;
    if (mReaction == 0) {
        Send(cell);
        return;
    }
    const int32_t width = mGame.Field()->Width();
    mMouse.PointAtCell(cell % width, cell / width);
    mAimedCell = cell;
    mClickAt = std::max(mLandedAt + mReaction, mUpdate + 1);
}

void GamePlayer::Send(int32_t cell)
{
    const int32_t width = mGame.Field()->Width();
    mMouse.ClickCell(cell % width, cell / width);
    ++mCellClicks;
    mWaitUntil = mUpdate + kAfterCell;
}

bool GamePlayer::ClickWhenDue(int32_t window)
{
    if (mAimedCell < 0)
        return true;
    if (mUpdate < mClickAt)
        return false;
    const int32_t cell = mAimedCell;
    mAimedCell = -1;
    // A window come up meanwhile takes the player's eye instead.
    if (window >= 0)
        return true;
    Send(cell);
    return false;
}

void GamePlayer::WatchLanding()
{
    const bool down = !mGame.Ball()->Has(CBall::kFalling | CBall::kFlying);
    if (down && !mBallDown)
        mLandedAt = mUpdate;
    mBallDown = down;
}

void GamePlayer::PlayCrazy()
{
    const CCellGrid& grid = mGame.Field()->Grid();
    const CBoardWidget& board = *mGame.Board();
    const int32_t crazy = grid.Parameters().mBlockTypes - 1;
    const int32_t ball = board.TargetRow() * grid.Width() + board.TargetColumn();
    if (CCellGrid::ColourOf(grid.Cell(ball)) != crazy)
        return;
    // A landing turns a block one colour on.
    int32_t best = -1;
    for (int32_t cell = 0; cell < grid.CellCount(); ++cell) {
        const int32_t colour = CCellGrid::ColourOf(grid.Cell(cell));
        if (mMouse.GroupTaken(cell) >= 0 && colour != crazy &&
            (best < 0 || colour > CCellGrid::ColourOf(grid.Cell(best))))
            best = cell;
    }
    ClickCell(best);
}

} // namespace AppTest
