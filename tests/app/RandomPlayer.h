#pragma once

#include "framework/core/MersenneTwister.h"
#include "tests/app/GamePlayer.h"

#include <cstdint>
#include <string>

class CGameApp;

namespace AppTest {

// Plays games by mouse the way no one person would, every choice drawn from
// its seed: any button of the window on screen (most often the one that goes
// on), cells that take a group, cells that miss, bonus blocks, the panel's
// buttons, Esc and focus losses at any moment. After its games it leaves
// through the menu's quit.
class RandomPlayer : public GamePlayer {
public:
    RandomPlayer(CGameApp& game, GameMouse mouse, uint32_t seed, int32_t games);

    bool QuitConfirmed() const { return mQuitConfirmed; }
    // Games ended: by a game-over window or by leaving one for the menu.
    int32_t GamesEnded() const { return mGamesEnded; }
    std::string Report() const;

private:
    bool Chance(uint32_t percent) { return mRandom.NextBelow(100) < percent; }
    void Wait(uint32_t least, uint32_t most);
    // Every choice has its turn after the window settled or the field played.
    void OnWindow(int32_t window) override;
    void ActOnWindow(int32_t window) override;
    // Clicks the window's button by its place in the window; false when it takes no click.
    bool PressNth(int32_t window, int32_t nth);
    void PlayField() override;
    void ClickSomeCell();
    bool Quitting() const { return mGamesEnded >= mGamesWanted; }

    Lumo::MersenneTwister mRandom;
    int32_t mGamesWanted;
    int32_t mGamesEnded = 0;
    // Updates in play of the game running; past a budget the player only misses, so that it ends.
    int32_t mPlayedUpdates = 0;
    // How often a click on the field goes for a group, in percent; drawn for each game.
    uint32_t mTakeChance = 80;
    int32_t mNames = 0;
    bool mQuitConfirmed = false;
};

} // namespace AppTest
