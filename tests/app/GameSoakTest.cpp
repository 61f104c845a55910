#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/animation/CTrackBase.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/RandomPlayer.h"
#include "tests/app/ShippedGameTest.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace AppTest {
namespace {

// Each session is a fresh start of the game in an empty data folder, played
// by one seed through this many games.
constexpr int32_t kGamesPerSession = 3;
// Updates a level may stay in play, unpaused, before it counts as locked.
constexpr int32_t kLevelBound = 20000;
// A session still going after this many updates has lost its way.
constexpr int32_t kSessionBound = 300000;
// Far above what any game here scores.
constexpr int32_t kScoreBound = 10000000;
// Updates without anything changing on screen or in the level before the session counts as stalled.
constexpr int32_t kStallBound = 6000;

int32_t EnvNumber(const char* name, int32_t fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

// What the game holds at a level's start window: its processes by kind (set
// aside the bumps of the block the resting ball bounces on, which come and go
// all the time, and a puzzle's arrows), running tracks and animations.
struct Holdings {
    std::multiset<int32_t> mProcesses;
    int32_t mTracks = 0;
    int32_t mAnimations = 0;
    int32_t mMainPlayer = 0;
};

std::ostream& operator<<(std::ostream& out, const Holdings& h)
{
    out << "processes of kinds";
    for (const int32_t kind : h.mProcesses)
        out << ' ' << kind;
    return out << ", " << h.mTracks << " tracks, " << h.mAnimations << " animations, " << h.mMainPlayer
               << " on the main player";
}

// Tracks and animations are pooled by the blocks and windows that use them,
// so their counts move a little from one level start to the next; a leak
// grows them level after level.
constexpr int32_t kTrackAllowance = 12;
constexpr int32_t kAnimationAllowance = 1;

// Watches the game under play, update after update: where each level begins
// and ends, what the game holds at each level start, whether the level ends
// at all, the combo window, the score and energy, and the saved files.
class LevelWatch {
public:
    explicit LevelWatch(CGameApp& game) : mGame(game) {}

    void Update(int32_t update)
    {
        mUpdate = update;
        const CLevelController& levels = *mGame.LevelController();
        const bool playing = levels.State() == CLevelController::kPlaying;
        // The endless game goes on to its next level at once, in play.
        const bool moved = levels.CurrentGraph() != mGraph || levels.CurrentPosition() != mPosition;
        if (mPlaying && (!playing || moved))
            LevelEnded();
        if (playing && (!mPlaying || moved))
            LevelBegan();
        mPlaying = playing;
        mGraph = levels.CurrentGraph();
        mPosition = levels.CurrentPosition();
        const CGUIController& gui = *mGame.GuiController();
        const int32_t shown = gui.State() == CGUIController::kShown ? gui.CurrentWindow() : -1;
        if (shown != mShown && (shown == GUIWindowId::kLevelStart || shown == GUIWindowId::kScoreStart))
            CheckLevelStart();
        mShown = shown;
        const bool running = mPlaying && !mGame.GamePaused() && mGame.mActive;
        if (running && ++mPlayedUpdates == kLevelBound)
            Fault("the level is still in play after " + std::to_string(kLevelBound) + " updates");
        WatchCombo(running);
        WatchForStall();
    }

    const std::string& Faults() const { return mFaults; }
    int32_t LevelsEnded() const { return mLevelsEnded; }

private:
    Holdings Now() const
    {
        Holdings now;
        const CGameProcessor& processor = *mGame.Processor();
        // A puzzle level shows its arrows from its start on.
        const bool puzzle = mGame.LevelController()->Level().mLevelType == 1;
        for (const ProcessSlot& slot : processor.Slots()) {
            const bool setAside = slot.mKind == kProcessBlockBump || (puzzle && slot.mKind == kProcessArrows);
            if (slot.mKind != kProcessFree && !setAside)
                now.mProcesses.insert(slot.mKind);
        }
        now.mTracks = int32_t(mGame.Tracks()->Running().Used());
        now.mAnimations = int32_t(mGame.Anims()->Instances().Used());
        now.mMainPlayer = int32_t(mGame.Anims()->mPlayer.mActive.size());
        return now;
    }

    // Whatever the last level started has ended with it by the next level's start.
    void CheckLevelStart()
    {
        const Holdings now = Now();
        const auto [first, isFirst] = mFirstStarts.emplace(mGame.LevelController()->GameMode(), now);
        if (isFirst)
            return;
        const Holdings& was = first->second;
        if (now.mProcesses != was.mProcesses || now.mTracks > was.mTracks + kTrackAllowance ||
            now.mAnimations > was.mAnimations + kAnimationAllowance || now.mMainPlayer > was.mMainPlayer)
            Fault((std::ostringstream() << "a level starts with " << now << "; the first of its mode with " << was)
                      .str());
    }

    void LevelBegan()
    {
        mPlayedUpdates = 0;
        // Play begins with the player's files saved.
        mSavedProfiles = ProfileRecords(*mGame.Profiles());
        for (int32_t table = 0; table < CHiscoreTable::kTableCount; ++table)
            mSavedScores[size_t(table)] = mGame.Hiscores()->GetTable(table);
    }

    void LevelEnded()
    {
        ++mLevelsEnded;
        const CLevelController& levels = *mGame.LevelController();
        // A miss may take the energy below 0; the level fails there.
        if (levels.Score() < 0 || levels.Score() > kScoreBound || levels.Energy() < -1000 || levels.Energy() > 1000)
            Fault("the level ended with score " + std::to_string(levels.Score()) + " and energy " +
                  std::to_string(levels.Energy()));
        CUserProfiles profiles;
        profiles.Init(mGame);
        if (ProfileRecords(profiles) != mSavedProfiles)
            Fault("users.dat does not read back as saved when the level began");
        CHiscoreTable scores;
        scores.Load();
        for (int32_t table = 0; table < CHiscoreTable::kTableCount; ++table) {
            if (std::memcmp(&scores.GetTable(table), &mSavedScores[size_t(table)], sizeof(CHiscoreTable::Table)) != 0)
                Fault("scores.dat does not read back as saved when the level began");
        }
    }

    static std::vector<std::string> ProfileRecords(const CUserProfiles& profiles)
    {
        std::vector<std::string> records;
        for (int32_t i = 0; i < profiles.Count(); ++i)
            records.emplace_back(reinterpret_cast<const char*>(&profiles.Record(i)), sizeof(CUserProfile));
        return records;
    }

    // A scoring landing opens the combo window; when it closes the combo is
    // paid and counted from 0 again. Field time is counted: bonuses slow the field.
    void WatchCombo(bool running)
    {
        const CLevelController& levels = *mGame.LevelController();
        if (levels.ComboCount() == 0 || !running || mGame.Processor()->State() != CLevelController::kPlaying) {
            mComboTime = levels.ComboCount() == 0 ? 0.0f : mComboTime;
            return;
        }
        // The window's track is attached, advanced and acted upon in updates that follow the landing.
        const float window = 1.0f / levels.Table().Combos().mComboSpeed + 5.0f;
        mComboTime += mGame.Field()->Speed();
        if (mComboTime > window && mComboTime - mGame.Field()->Speed() <= window)
            Fault("a combo of " + std::to_string(levels.ComboCount()) + " is still open " +
                  std::to_string(int32_t(mComboTime)) + " field steps after its window opened");
    }

    void WatchForStall()
    {
        const CLevelController& levels = *mGame.LevelController();
        const CGUIController& gui = *mGame.GuiController();
        const std::vector<int32_t> look = {gui.CurrentWindow(), gui.State(),        levels.State(),
                                           levels.Score(),      levels.Energy(),    levels.LevelPoints(),
                                           mGame.GamePaused(),  levels.CurrentPosition()};
        if (look != mLastLook) {
            mLastLook = look;
            mSameSince = mUpdate;
        } else if (mUpdate - mSameSince == kStallBound) {
            Fault("nothing has changed for " + std::to_string(kStallBound) + " updates");
        }
    }

    void Fault(const std::string& what)
    {
        const CLevelController& levels = *mGame.LevelController();
        mFaults += "update " + std::to_string(mUpdate) + ", level " + std::to_string(levels.CurrentPosition()) +
                   " of graph " + std::to_string(levels.CurrentGraph()) + ": " + what + "\n";
    }

    CGameApp& mGame;
    int32_t mUpdate = 0;
    bool mPlaying = false;
    int32_t mGraph = -2;
    int32_t mPosition = 0;
    int32_t mShown = -1;
    int32_t mPlayedUpdates = 0;
    int32_t mLevelsEnded = 0;
    float mComboTime = 0.0f;
    // The first level start of each game mode.
    std::map<int32_t, Holdings> mFirstStarts;
    std::vector<std::string> mSavedProfiles;
    std::array<CHiscoreTable::Table, CHiscoreTable::kTableCount> mSavedScores{};
    std::vector<int32_t> mLastLook;
    int32_t mSameSince = 0;
    std::string mFaults;
};

// The game with a look at its loading thread, drawing one frame in kDrawEvery:
// showing a frame costs more than the updates between.
class SoakGame : public ScriptedGame {
public:
    bool LoadingThreadBusy() const { return mLoadingRunning && !mLoadingFinished; }
    bool DrawFrame() override
    {
        if (mUpdateCount % kDrawEvery == 0)
            return CGameApp::DrawFrame();
        mHasUpdatedSinceDraw = false;
        return true;
    }

private:
    static constexpr int kDrawEvery = 200;
};

// The fake clock, standing still while the loading thread works: that takes
// a varying time, and the game seeds its fields from the clock. So a seed
// plays the same session again.
class SessionClock final : public Platform::Clock {
public:
    explicit SessionClock(uint64_t now) : mNow(now) {}
    uint64_t NowMicros() override { return mNow.load(); }
    void SleepMillis(uint32_t ms) override
    {
        const SoakGame* game = mGame.load();
        if (game == nullptr || !game->LoadingThreadBusy())
            mNow += uint64_t(ms) * 1000;
    }

    std::atomic<const SoakGame*> mGame{nullptr};

private:
    std::atomic<uint64_t> mNow;
};

class GameSoakTest : public ShippedGameTest, public testing::WithParamInterface<uint32_t> {};

// Random games on the real program and the archive it ships, each session
// from its own seed and in a test of its own. ZENTROVA_SOAK_GAMES sets how
// many games in all (three to a session; thirty by default, for the check),
// ZENTROVA_SOAK_SEED the first seed. For hundreds, run the test program
// itself with them: CTest keeps the list of tests it found first.
TEST_P(GameSoakTest, RandomGamesEndEveryLevelCleanly)
{
    const uint32_t seed = GetParam();
    SessionClock clock(mClock.NowMicros());
    Platform::ScopedClock clockScope(&clock);
    auto soakGame = std::make_unique<SoakGame>();
    clock.mGame = soakGame.get();
    Start(std::move(soakGame));
    RandomPlayer player(*mGame, Mouse(), seed, kGamesPerSession);
    LevelWatch watch(*mGame);
    ScriptedGame& game = *mGame;
    int32_t update = 0;
    game.mScript = [&](int) {
        if (game.LoadingStateNow() != CGameApp::kLoadHandled)
            return;
        ++update;
        player.Update(update);
        watch.Update(update);
        if (!watch.Faults().empty() || update == kSessionBound)
            game.RequestShutdown();
    };
    game.Run();
    const std::string replay = "\nreplay with ZENTROVA_SOAK_SEED=" + std::to_string(seed) +
                               " ZENTROVA_SOAK_GAMES=" + std::to_string(kGamesPerSession) +
                               " tests/app/test_app --gtest_filter='*GameSoak*'";
    EXPECT_EQ(watch.Faults(), "") << player.Report() << replay;
    EXPECT_LT(update, kSessionBound) << player.Report() << replay;
    EXPECT_TRUE(player.QuitConfirmed()) << player.Report() << replay;
    EXPECT_TRUE(game.mFatalErrors.empty()) << testing::PrintToString(game.mFatalErrors);
    std::printf("seed %u: %d games, %d levels, %d updates\n", seed, player.GamesEnded(), watch.LevelsEnded(),
                update);
}

std::vector<uint32_t> SoakSeeds()
{
    const int32_t games = EnvNumber("ZENTROVA_SOAK_GAMES", 30);
    const uint32_t first = uint32_t(EnvNumber("ZENTROVA_SOAK_SEED", 1));
    std::vector<uint32_t> seeds;
    for (int32_t session = 0; session * kGamesPerSession < games; ++session)
        seeds.push_back(first + uint32_t(session));
    return seeds;
}

INSTANTIATE_TEST_SUITE_P(Seeds, GameSoakTest, testing::ValuesIn(SoakSeeds()),
                         [](const testing::TestParamInfo<uint32_t>& info) {
                             return "seed" + std::to_string(info.param);
                         });

} // namespace
} // namespace AppTest
