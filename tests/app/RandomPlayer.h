#pragma once

#include "framework/core/MersenneTwister.h"
#include "tests/app/GameMouse.h"

#include <cstdint>
#include <string>

class CGameApp;

namespace AppTest {

// Plays games by mouse the way no one person would, every choice drawn from
// its seed: any button of the window on screen (most often the one that goes
// on), cells that take a group, cells that miss, bonus blocks, the panel's
// buttons, Esc and focus losses at any moment. After its games it leaves
// through the menu's quit.
class RandomPlayer {
public:
    RandomPlayer(CGameApp& game, GameMouse mouse, uint32_t seed, int32_t games);

    // After each update the game made with its loading done; update counts those.
    void Update(int32_t update);

    bool QuitConfirmed() const { return mQuitConfirmed; }
    // Games ended: by a game-over window or by leaving one for the menu.
    int32_t GamesEnded() const { return mGamesEnded; }
    int32_t CellClicks() const { return mCellClicks; }
    std::string Report() const;

private:
    bool Chance(uint32_t percent) { return mRandom.NextBelow(100) < percent; }
    void Wait(uint32_t least, uint32_t most);
    // Every choice has its turn after the window settled or the field played.
    void OnWindow(int32_t window);
    void ActOnWindow(int32_t window);
    // Clicks the window's button by its place in the window; false when it takes no click.
    bool PressNth(int32_t window, int32_t nth);
    void PlayField();
    void ClickSomeCell();
    bool Quitting() const { return mGamesEnded >= mGamesWanted; }

    CGameApp& mGame;
    GameMouse mMouse;
    Lumo::MersenneTwister mRandom;
    int32_t mGamesWanted;
    int32_t mGamesEnded = 0;
    int32_t mUpdate = 0;
    int32_t mWaitUntil = 0;
    int32_t mLastShown = -1;
    // Updates in play of the game running; past a budget the player only misses, so that it ends.
    int32_t mPlayedUpdates = 0;
    // How often a click on the field goes for a group, in percent; drawn for each game.
    uint32_t mTakeChance = 80;
    int32_t mFocusBackAt = -1;
    int32_t mCellClicks = 0;
    int32_t mNames = 0;
    bool mQuitConfirmed = false;
};

} // namespace AppTest
