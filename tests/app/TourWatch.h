#pragma once

#include "tests/app/LevelWatch.h"
#include "tests/app/TourPlayer.h"

#include <cstdint>
#include <set>
#include <string>

class CGameApp;

namespace AppTest {

// Watches a tour of the game, played or replayed, for what it is there to
// show, update after update, from the game alone: the kinds of level won,
// the arrows lit by each step of a puzzle, an undo on a puzzle, the bonuses fired, the crossing from the first map to
// the second with its reload, a pause by the player and one by the window
// losing the focus, each resumed, a bomb's blast on a block under the
// pointer, a superbonus with its points, and the game's own quit at the end; and, as the soak does, every
// level for what it must end with.
class TourWatch {
public:
    TourWatch(CGameApp& game, std::string log) : mGame(game), mFired(std::move(log)), mLevels(game, false) {}

    void Update();
    // Fails the test for every part of the tour it has not seen.
    void ExpectTheWholeTour();

private:
    void WatchLevel();
    void WatchPause();
    void WatchBomb();
    void WatchSuperbonus();

    const CGameApp& mGame;
    FiredBonuses mFired;
    LevelWatch mLevels;
    // Updates with the game's loading done.
    int32_t mUpdates = 0;
    std::set<int32_t> mKindsWon;
    bool mUndone = false;
    int32_t mPuzzleSteps = 0;
    int32_t mPuzzleStepsLit = 0;
    static constexpr int32_t kNoBorder = -3;

    // The field's border in the first map's levels, none before one was played.
    int32_t mFirstMapBorder = kNoBorder;
    bool mNewMapAsked = false;
    bool mPlayedSecondMap = false;
    int32_t mBombState = 0;
    bool mBombTookHover = false;
    bool mSuperbonusRunning = false;
    int32_t mSuperbonuses = 0;
    int32_t mSuperbonusesPaid = 0;
    // The level's points after the last update.
    int32_t mPoints = 0;
    bool mResumedAfterKey = false;
    bool mResumedAfterFocus = false;
    int32_t mLastWindow = -1;
    // The level in play when last looked at, and how it stood.
    int32_t mMode = -1;
    int32_t mPosition = -1;
    int32_t mKind = -1;
    int32_t mState = -1;
    size_t mRuns = 0;
    // A pause of the level in play: 0 none, 1 by the player, 2 with the focus lost.
    int32_t mPause = 0;
};

} // namespace AppTest
