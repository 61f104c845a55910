#pragma once

#include "game/data/players/CHiscoreTable.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class CGameApp;
class CUserProfiles;

namespace AppTest {

// Watches the game under play, update after update: where each level begins
// and ends, what the game holds at each level start, whether the level ends
// at all, the combo window and its payout, the hazard warnings, the drain of
// a timed level, the checkpoints, the energy bonus, a miss on a closed shell
// block, a crazy level's scoring,
// the score and energy, and, when asked, the saved files. Reading them back asks the game's settings, which a recording keeps
// and a replay takes from its demo: a watch on a demo leaves them out.
class LevelWatch {
public:
    LevelWatch(CGameApp& game, bool readBackFiles) : mGame(game), mReadBackFiles(readBackFiles) {}

    // After each update the game made with its loading done; update counts those.
    void Update(int32_t update);

    const std::string& Faults() const { return mFaults; }
    int32_t LevelsEnded() const { return mLevelsEnded; }

private:
    // What the game holds at a level's start window: its processes by kind (set
    // aside the bumps of the block the resting ball bounces on, which come and go
    // all the time, and a puzzle's arrows), running tracks and animations.
    struct Holdings {
        std::multiset<int32_t> mProcesses;
        int32_t mTracks = 0;
        int32_t mAnimations = 0;
        int32_t mMainPlayer = 0;

        std::string Describe() const;
    };

    // The level in play as an update left it, for what the next one changes.
    struct LevelLook {
        // Playing, unpaused, with the processor in play.
        bool mInPlay = false;
        int32_t mGraph = -2;
        int32_t mPosition = 0;
        int32_t mEnergy = 0;
        int32_t mPoints = 0;
        int32_t mComboCount = 0;
        int32_t mComboGains = 0;
        int32_t mCheckpoint = 0;
        bool mTimeBonus = false;
        // The shell is on and the ball's cell holds a block it has not opened.
        bool mClosedShellAhead = false;
        int32_t mHazards = 0;
        // The hazards the HUD warns of, as flags.
        int32_t mWarnings = 0;
    };

    Holdings Now() const;
    LevelLook LookAtLevel(bool running) const;
    // The end test that follows a change of the energy or the points sets the warnings.
    void WatchHazards(const LevelLook& now);
    // A closed combo window pays the value of its count, nothing for a single landing.
    void WatchComboPayout(const LevelLook& now);
    // A timed level's points drain, but not while a time bonus runs.
    void WatchDrain(const LevelLook& now);
    // A checkpoint gives way to the next once its turns are played.
    void WatchCheckpoint(const LevelLook& now);
    // Energy rises only by the energy bonus, by the checkpoint's amount up to the full 1000.
    void WatchEnergyGain(const LevelLook& now);
    // A miss on a block the shell has not opened costs no energy.
    void WatchClosedShell(const LevelLook& now);
    // A crazy level scores each block turned to its colour, one at a landing.
    void WatchCrazyScoring(const LevelLook& now);
    // Whatever the last level started has ended with it by the next level's start.
    void CheckLevelStart();
    void LevelBegan();
    void LevelEnded();
    static std::vector<std::string> ProfileRecords(const CUserProfiles& profiles);
    // A scoring landing opens the combo window; when it closes the combo is
    // paid and counted from 0 again. Field time is counted: bonuses slow the field.
    void WatchCombo(bool running);
    // A block taken off the field ends its hover with it.
    void WatchHovers();
    void WatchForStall();
    void Fault(const std::string& what);
    // The first fault of its kind only: a broken rule breaks at every update.
    void FaultOnce(const std::string& kind, const std::string& what);

    CGameApp& mGame;
    bool mReadBackFiles;
    int32_t mUpdate = 0;
    bool mPlaying = false;
    int32_t mGraph = -2;
    int32_t mPosition = 0;
    int32_t mShown = -1;
    int32_t mPlayedUpdates = 0;
    int32_t mLevelsEnded = 0;
    float mComboTime = 0.0f;
    bool mHoverOffField = false;
    // The first level start of each game mode.
    std::map<int32_t, Holdings> mFirstStarts;
    std::vector<std::string> mSavedProfiles;
    std::array<CHiscoreTable::Table, CHiscoreTable::kTableCount> mSavedScores{};
    std::vector<int32_t> mLastLook;
    int32_t mSameSince = 0;
    LevelLook mLastLevel;
    // Points a timed level's drain has owed since its points last changed.
    float mDrainOwed = 0.0f;
    std::set<std::string> mFaultKinds;
    std::string mFaults;
};

} // namespace AppTest
