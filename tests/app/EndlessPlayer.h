#pragma once

#include "game/board/field/CGameField.h"
#include "tests/app/GamePlayer.h"
#include "tests/game/board/levels/PuzzleSolver.h"

#include <cstdint>
#include <map>
#include <string>

class CGameApp;

namespace AppTest {

// Plays the endless game by mouse as a person would who means to win each
// level: Endless from the menu, Go, then on the field as shown, the largest
// group on a points level, a planned click on a puzzle (the fewest clicks that
// turn every block grey), the crazy level's turns. A lost run is played again
// from the menu, with "Continue" where the game offers it, until the run has
// won the levels up to the goal.
class EndlessPlayer : public GamePlayer {
public:
    // goal: the position whose level the run is to reach.
    EndlessPlayer(CGameApp& game, GameMouse mouse, int32_t goal);

    bool GoalReached() const { return mGoalReached; }
    // The tries each position took, the one that won it included; a position
    // not won holds the tries lost there.
    const std::map<int32_t, int32_t>& Tries() const { return mTries; }
    // The level kind (of the level controller) played at each position.
    const std::map<int32_t, int32_t>& Kinds() const { return mKinds; }
    // Positions whose level began on a field that holds grey stones while it is no puzzle.
    const std::map<int32_t, int32_t>& GreyAtStart() const { return mGreyAtStart; }
    // Positions of puzzles that began on a field no clicks can solve.
    const std::map<int32_t, bool>& UnsolvableAtStart() const { return mUnsolvableAtStart; }
    // For each crazy level's position, whether the HUD showed a block of the colour asked.
    const std::map<int32_t, bool>& ColourShown() const { return mColourShown; }
    std::string Report() const;

private:
    void OnWindow(int32_t window) override;
    void ActOnWindow(int32_t window) override;
    void PlayField() override;
    void PlayPuzzle();
    // Notes a level begun and a level won, by the position in play.
    void WatchPosition();
    // Whether the HUD's indicator shows a block of the crazy level's colour now.
    bool CrazyColourShown() const;

    int32_t mGoal;
    bool mGoalReached = false;
    int32_t mPosition = -1;
    std::map<int32_t, int32_t> mTries;
    std::map<int32_t, int32_t> mKinds;
    std::map<int32_t, int32_t> mGreyAtStart;
    std::map<int32_t, bool> mUnsolvableAtStart;
    std::map<int32_t, bool> mColourShown;
    // The field the planning plays on, apart from the game's.
    CGameField mPlan;
    BoardTest::PuzzleSolver mSolver;
};

} // namespace AppTest
