#include "tests/app/GamePlayer.h"

#include "app/CGameApp.h"
#include "game/board/field/CGameField.h"

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
    if (update < mWaitUntil)
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
    const int32_t width = mGame.Field()->Width();
    mMouse.ClickCell(cell % width, cell / width);
    ++mCellClicks;
    mWaitUntil = mUpdate + kAfterCell;
}

} // namespace AppTest
