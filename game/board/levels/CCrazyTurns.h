#pragma once

#include <cstdint>

class CCellGrid;
class CLevelController;
class CLevelHost;

// The rules of a crazy level's turns: one target colour K (the last colour);
// every landing turns the block under the ball to another colour, and the
// level is complete when every block shows K. Landing again and again on one
// cell reaches K only after a number of repeats and a lucky roll.
class CCrazyTurns {
public:
    enum Phase : int32_t { kWaiting = 0, kSpinning = 1, kSpinDone = 4, kPulse = 5 };

    CCrazyTurns(CCellGrid& grid, CLevelController& level, CLevelHost& host);

    // Counts the blocks still to turn for a new level of that many colours; the
    // last of them is K. The spin has not begun.
    void NewTurn(int32_t colours);
    // The blocks not showing the crazy colour, taken from the grid afresh.
    void CountBlocksToTurn();
    // Waiting, spinning, then (spin done) landings count from now on.
    void SetPhase(Phase phase) { mPhase = phase; }
    // The landing on the cell: its block takes its next colour. False when
    // the landing changes nothing (before the spin has finished, or an empty cell).
    bool PhaseStep(int32_t cell);

    int32_t CrazyColour() const { return mCrazyColour; }
    int32_t BlocksToTurn() const { return mBlocksToTurn; }
    int32_t Phase() const { return mPhase; }
    int32_t RepeatCount() const { return mRepeats; }
    // The HUD panel's share of blocks showing K, in percent.
    int32_t CrazyPercent() const;

private:
    int32_t NextColour(int32_t old) const;

    CCellGrid& mGrid;
    CLevelController& mLevel;
    CLevelHost& mHost;
    int32_t mCrazyColour = 0;
    int32_t mPhase = kWaiting;
    int32_t mBlocksToTurn = 0;
    int32_t mLastCell = -2;
    int32_t mRepeats = 0;
    int32_t mCountdown = 0;
};
