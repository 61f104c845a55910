#pragma once

#include "tests/app/GameMouse.h"

#include <cstdint>
#include <string>
#include <vector>

class CGameApp;

namespace AppTest {

// Plays the level-map game by mouse as a person would: after each update it
// looks at the window on screen, or at the field when none is, and clicks
// what leads on to its goal. The goals follow one another: win a level, then
// lose levels until the game is over, then quit through the menu. Only the
// new player's name is typed.
class MousePlayer {
public:
    enum Goal : int32_t { kWin = 0, kLose = 1, kQuit = 2 };

    MousePlayer(CGameApp& game, GameMouse mouse, std::string name, Goal goal);

    void Update(int32_t update);

    // Every window in the order it was shown, each time it was shown.
    const std::vector<int32_t>& WindowsSeen() const { return mWindowsSeen; }
    // Whether it said yes to the game's own quit.
    bool QuitConfirmed() const { return mQuitConfirmed; }
    Goal CurrentGoal() const { return mGoal; }
    // The score as the first tally showed.
    int32_t TallyScore() const { return mTallyScore; }
    // The level's gain the tally counted to, -1 before it did.
    int32_t TallyGain() const { return mTallyGain; }
    // The map's position when its "Play level" was clicked after the win.
    int32_t MapTarget() const { return mMapTarget; }
    // The level's kind and position as each level start window showed.
    const std::vector<int32_t>& StartedPositions() const { return mStartedPositions; }
    const std::vector<int32_t>& StartedKinds() const { return mStartedKinds; }
    int32_t GameOverScore() const { return mGameOverScore; }
    // What the game shows now, for a run that stalls.
    std::string Report() const;

private:
    // Clicks the command's button when it takes clicks; true when clicked.
    bool Press(int32_t command);
    void OnWindow(int32_t window);
    // Whether the tally has counted up to the level's gain.
    bool TallyCounted();
    bool FieldTakesClick() const;
    // A cell whose landing takes a group (take) or takes nothing; the
    // largest group when taking. False when there is none.
    bool PickCell(bool take, int32_t* column, int32_t* row) const;
    void PlayCell();

    CGameApp& mGame;
    GameMouse mMouse;
    std::string mName;
    Goal mGoal;
    int32_t mUpdate = 0;
    int32_t mWaitUntil = 0;
    int32_t mLastShown = -1;
    // Updates in a row the field has been ready for a click.
    int32_t mFieldReady = 0;
    int32_t mCellClicks = 0;
    bool mQuitConfirmed = false;
    std::vector<int32_t> mWindowsSeen;
    int32_t mTallyScore = -1;
    int32_t mTallyGain = -1;
    int32_t mMapTarget = -1;
    std::vector<int32_t> mStartedPositions;
    std::vector<int32_t> mStartedKinds;
    int32_t mGameOverScore = -1;
};

} // namespace AppTest
