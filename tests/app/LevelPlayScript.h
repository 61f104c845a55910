#pragma once

#include "tests/app/GameMouse.h"

#include <cstdint>

namespace AppTest {

class ScriptedGame;

// A player's way into a level and through it, whatever the content holds:
// from the menu into the endless game, its start window clicked away, a cell
// clicked every so often, and the game ended after a bounded number of updates
// (counted from the first, or from the level's start once it is reached).
// Run it after every update of the game.
class LevelPlayScript {
public:
    LevelPlayScript(ScriptedGame& game, GameMouse mouse, int32_t updatesInLevel, int32_t mostUpdates)
        : mGame(game), mMouse(mouse), mUpdatesInLevel(updatesInLevel), mMostUpdates(mostUpdates)
    {
    }

    void operator()(int update);

    bool ReachedLevel() const { return mLevelFrom >= 0; }
    int32_t Clicks() const { return mClicks; }

private:
    // Clicks the button of the window on screen; false when it has none.
    bool ClickButton(int32_t index) const;

    ScriptedGame& mGame;
    GameMouse mMouse;
    int32_t mUpdatesInLevel;
    int32_t mMostUpdates;
    bool mStartClicked = false;
    int mLevelFrom = -1;
    int32_t mClicks = 0;
};

} // namespace AppTest
