#include "game/board/levels/CCrazyTurns.h"

#include "framework/core/RuntimeRandom.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelHost.h"
#include "game/data/CGameConfig.h"

namespace {

constexpr int32_t kTurnPoints = 100;
constexpr int32_t kTurnSample = 0;

} // namespace

CCrazyTurns::CCrazyTurns(CCellGrid& grid, CLevelController& level, CLevelHost& host)
    : mGrid(grid), mLevel(level), mHost(host)
{
}

void CCrazyTurns::NewTurn(int32_t colours)
{
    mCrazyColour = colours - 1;
    mPhase = kWaiting;
    mLastCell = -2;
    mRepeats = 0;
    mCountdown = 0;
    CountBlocksToTurn();
}

void CCrazyTurns::CountBlocksToTurn()
{
    int32_t blocks = 0;
    int32_t crazy = 0;
    for (int32_t cell = 0; cell < mGrid.CellCount(); ++cell) {
        const uint32_t word = mGrid.Cell(cell);
        if (!CCellGrid::IsOccupied(word))
            continue;
        ++blocks;
        if (CCellGrid::ColourOf(word) == mCrazyColour)
            ++crazy;
    }
    mBlocksToTurn = blocks - crazy;
}

int32_t CCrazyTurns::CrazyPercent() const
{
    const int32_t blocks = mGrid.CellCount();
    return blocks > 0 ? mGrid.ColourHistogram(mCrazyColour) * 100 / blocks : 0;
}

int32_t CCrazyTurns::NextColour(int32_t old) const
{
    const int32_t next = CGameConfig::live.crazyRandcolor == 1 ? Lumo::Rand() % (mCrazyColour + 2) : old + 1;
    return next == old ? old + 1 : next;
}

bool CCrazyTurns::PhaseStep(int32_t cell)
{
    if (mPhase != kSpinDone && mPhase != kPulse)
        return false;
    const uint32_t word = mGrid.Cell(cell);
    if (!CCellGrid::IsOccupied(word))
        return false;
    const int32_t old = CCellGrid::ColourOf(word);
    int32_t colour = NextColour(old);

    if (cell != mLastCell) {
        mLastCell = cell;
        mRepeats = 0;
        mCountdown = 0;
    } else if (mRepeats < CGameConfig::live.crazyDumbturnsCount) {
        ++mRepeats;
    } else if (mCountdown > 0) {
        --mCountdown;
    } else {
        // A count of 1 or less leaves nothing to roll: the repeat always hits.
        const int32_t range = CGameConfig::live.crazyAfterdumbCount;
        const int32_t roll = range > 1 ? Lumo::Rand() % range : 0;
        if (roll == 0)
            colour = mCrazyColour;
        else
            mCountdown = roll - 1;
    }

    if (old == mCrazyColour) {
        ++mBlocksToTurn;
        AddEnergy(mLevel, -mLevel.Damage(), false);
    }
    if (colour > mCrazyColour)
        colour = 0;
    if (colour == mCrazyColour) {
        --mBlocksToTurn;
        mRepeats = 0;
        mCountdown = 0;
        mLevel.AddPoints(kTurnPoints);
        mHost.ShowPopup(0, kTurnPoints);
        mHost.PlaySample(kTurnSample);
    }
    mGrid.Cell(cell) = CCellGrid::WithColour(word, colour) | CCellGrid::kOccupied;
    mGrid.CountColours();
    mPhase = kPulse;
    return true;
}
