#pragma once

#include "tests/app/GameMouse.h"

#include <cstdint>
#include <vector>

class CGameApp;

namespace AppTest {

// A person's reaction to a landing, seeing it and then aiming: 450 ms, in updates of 10 ms.
constexpr int32_t kPersonReaction = 45;

// A player's turn after each update of the game: nothing while it loads; a
// window lost to another one taken back when its time is up; a look at each
// window as it comes; then, unless still waiting, an act on the window on
// screen or, when none is, on the field. An instant player clicks a cell the
// moment it chooses it; a person sees each landing of the ball first and then
// aims, and clicks a reaction time after the last landing it saw.
class GamePlayer {
public:
    GamePlayer(CGameApp& game, GameMouse mouse) : mGame(game), mMouse(mouse) {}
    virtual ~GamePlayer() = default;
    GamePlayer(const GamePlayer&) = delete;
    GamePlayer& operator=(const GamePlayer&) = delete;

    void Update(int32_t update);
    // A person's reaction to a landing, in updates; 0 for the instant player.
    void SetReaction(int32_t updates) { mReaction = updates; }

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
    // Sends the ball to the cell, when there is one (not -1), and waits for
    // it to land; a person points at the cell and clicks once its reaction
    // to the last landing is over.
    void ClickCell(int32_t cell);
    // On a crazy level: once the block under the ball shows the level's
    // colour, the ball goes on to the block whose next turn brings it closest
    // to that colour; until then the bounces turn the block.
    void PlayCrazy();

    CGameApp& mGame;
    GameMouse mMouse;
    int32_t mUpdate = 0;
    int32_t mWaitUntil = 0;

private:
    // Notes the update of a landing: the ball down again after a fall or a flight.
    void WatchLanding();
    // The click on the cell, then a wait for the ball to land.
    void Send(int32_t cell);
    // A person's click, due once its reaction is over; false while it waits.
    bool ClickWhenDue(int32_t window);

    int32_t mReaction = 0;
    bool mBallDown = true;
    int32_t mLandedAt = 0;
    // The cell pointed at, clicked at mClickAt; -1 for none.
    int32_t mAimedCell = -1;
    int32_t mClickAt = 0;
    int32_t mLastShown = -1;
    int32_t mFocusBackAt = -1;
    int32_t mFieldReady = 0;
    int32_t mCellClicks = 0;
    std::vector<int32_t> mWindowsSeen;
};

} // namespace AppTest
