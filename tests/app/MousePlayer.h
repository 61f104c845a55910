#pragma once

#include "tests/app/GamePlayer.h"

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
class MousePlayer : public GamePlayer {
public:
    enum Goal : int32_t { kWin = 0, kLose = 1, kQuit = 2 };

    MousePlayer(CGameApp& game, GameMouse mouse, std::string name, Goal goal);

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
    void OnWindow(int32_t window) override;
    void ActOnWindow(int32_t window) override;
    void PlayField() override;
    // Whether the tally has counted up to the level's gain.
    bool TallyCounted();

    std::string mName;
    Goal mGoal;
    bool mQuitConfirmed = false;
    int32_t mTallyScore = -1;
    int32_t mTallyGain = -1;
    int32_t mMapTarget = -1;
    std::vector<int32_t> mStartedPositions;
    std::vector<int32_t> mStartedKinds;
    int32_t mGameOverScore = -1;
};

} // namespace AppTest
