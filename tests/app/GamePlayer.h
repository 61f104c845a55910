#pragma once

#include "tests/app/GameMouse.h"

#include <cstdint>
#include <vector>

class CGameApp;

namespace AppTest {

// A player's turn after each update of the game: nothing while it loads; a
// window lost to another one taken back when its time is up; a look at each
// window as it comes; then, unless still waiting, an act on the window on
// screen or, when none is, on the field.
class GamePlayer {
public:
    GamePlayer(CGameApp& game, GameMouse mouse) : mGame(game), mMouse(mouse) {}
    virtual ~GamePlayer() = default;
    GamePlayer(const GamePlayer&) = delete;
    GamePlayer& operator=(const GamePlayer&) = delete;

    void Update(int32_t update);

    // Every window in the order it was shown, each time it was shown.
    const std::vector<int32_t>& WindowsSeen() const { return mWindowsSeen; }
    int32_t CellClicks() const { return mCellClicks; }

protected:
    virtual void OnWindow(int32_t /*window*/) {}
    virtual void ActOnWindow(int32_t window) = 0;
    virtual void PlayField() = 0;

    // Clicks the command's button when it takes clicks and waits for the
    // window to fade out; true when clicked.
    bool Press(int32_t command);
    // The window loses the focus to another one for so many updates.
    void LeaveWindow(int32_t updates);
    // Whether the field has taken clicks for a few updates in a row, with its
    // blocks at rest when asked, so that nothing the last landing started is
    // missed. A ready field is taken once.
    bool FieldReady(bool atRest);
    // Sends the ball to the cell, when there is one (not -1), and waits for it to land.
    void ClickCell(int32_t cell);

    CGameApp& mGame;
    GameMouse mMouse;
    int32_t mUpdate = 0;
    int32_t mWaitUntil = 0;

private:
    int32_t mLastShown = -1;
    int32_t mFocusBackAt = -1;
    int32_t mFieldReady = 0;
    int32_t mCellClicks = 0;
    std::vector<int32_t> mWindowsSeen;
};

} // namespace AppTest
