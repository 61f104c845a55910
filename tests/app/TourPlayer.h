#pragma once

#include "tests/app/GamePlayer.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

class CGameApp;

namespace AppTest {

// The bonuses the game has fired, as its log names them; each look reads
// only what the log gained since the last.
class FiredBonuses {
public:
    explicit FiredBonuses(std::string log) : mLog(std::move(log)) {}

    const std::set<int32_t>& Now();

private:
    std::string mLog;
    size_t mRead = 0;
    std::string mPartLine;
    std::set<int32_t> mFired;
};

// Tours the game by mouse as a person would who wants to see all of it. A new
// player wins the map game's levels one after the other, from the first map
// into the second: pausing by Esc in the first level and by leaving the window
// in the first timed one, taking a step back on the first puzzle, landing on
// the token of every bonus not fired yet, the hand then beside it, and, on a
// level that can bring all of those, waiting for them before going for the
// goal; on its first level it tries for a combo. Then it leaves for
// the endless game, wins one of its levels, misses until that game is over,
// enters the hiscore and quits the game. Only the new player's name is typed.
class TourPlayer : public GamePlayer {
public:
    // log: the game's log file, which tells the bonuses fired.
    TourPlayer(CGameApp& game, GameMouse mouse, std::string name, std::string log);

    bool QuitConfirmed() const { return mQuitConfirmed; }
    std::string Report() const;

private:
    enum Part : int32_t { kMapGame = 0, kEndlessGame = 1, kQuit = 2 };

    void OnWindow(int32_t window) override;
    void ActOnWindow(int32_t window) override;
    void PlayField() override;
    // The part has shown what it is there for: the player ends it.
    bool PartDone() const;
    // Takes the largest group, or misses where none is left.
    void TakeGroup();
    void PlayPuzzle();
    // Lands on a bonus's token that has not fired yet; false when none is on the field to fire.
    bool LandOnWantedBonus();
    // The hand rests beside the token landed on, on a block that a bomb's blast may take.
    void RestHandBeside(int32_t cell);
    // Whether the level may still bring a bonus not fired yet; worth waiting
    // for where no clock runs down.
    bool BringsWantedBonuses();

    std::string mName;
    FiredBonuses mFired;
    Part mPart = kMapGame;
    bool mTriedCombo = false;
    bool mPausedByKey = false;
    bool mLeftWindow = false;
    bool mUndone = false;
    bool mLeaving = false;
    bool mQuitConfirmed = false;
};

} // namespace AppTest
