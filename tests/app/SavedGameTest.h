#pragma once

#include "game/data/players/CUserProfiles.h"
#include "tests/app/ShippedGameTest.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CBonusBomb;

namespace AppTest {

// Windows fade out after a click; the next look comes after that.
constexpr int32_t kAfterPress = 20;

// The saved games a player continues from the menu.
CUserProfile SavedMapGame(int32_t position, int32_t result = 0, int32_t energy = 1000);
CUserProfile SavedEndlessGame(int32_t position);

// Something to wait for during play and what to do then.
struct Step {
    std::string mWhat;
    std::function<bool()> mReady;
    std::function<void()> mAct = [] {};
    // Updates to let pass before the next step is looked at.
    int32_t mPause = kAfterPress;
};

// The program with the archive it ships, where a player, "Ada", continues a
// saved game from the menu and plays it by mouse, step after step; a few
// probes look at what the screen cannot show.
class SavedGameTest : public ShippedGameTest {
protected:
    ScriptedGame& StartWith(const CUserProfile& saved);
    // Runs the game through the steps, each once it is ready, and quits after the last.
    void Play(const std::vector<Step>& steps);

    bool Showing(int32_t window) { return Mouse().Showing(window); }
    Step Press(int32_t window, int32_t command);
    // From the menu to play in the saved map game.
    std::vector<Step> ToMapGame();
    // From the menu to play in the saved endless game, through its start window.
    std::vector<Step> ToEndlessGame();
    // Esc, the pause window's way out, and the menu.
    std::vector<Step> LeaveToMenu(int32_t pauseWindow, int32_t leave);
    // The field in play and at rest: a click sends the ball now.
    bool FieldTakesClick() { return Mouse().FieldAtRest(); }
    Step Ready();

    // Every cell's colour.
    std::vector<int32_t> Colours() const;
    // A cell off the ball's whose landing takes a group; false when there is none.
    bool ScoringCell(int32_t* column, int32_t* row) const;
    // A cell (column, row) that takes a group, as the field shows it.
    void ClickTaking(const int32_t (&at)[2]);
    void ClickUndo() { Mouse().ClickUndo(); }
    int32_t ProcessesOfKind(int32_t kind) const;
    CBonusBomb& Bomb() const;

    int32_t mUpdate = 0;
    // When the step now waited for began to be looked at.
    int32_t mStepSince = 0;
};

} // namespace AppTest
