#include "game/board/levels/CLevelController.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/MousePlayer.h"
#include "tests/app/ShippedGameTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// Far more updates than the whole game takes: a run still going then has stalled.
constexpr int32_t kGiveUpAt = 40000;

// What a run left behind.
struct RunEnd {
    int32_t mScore = -1;
    int32_t mUpdates = 0;
    std::string mUsers;
    std::string mScores;
};

// Whole games of the program on the archive it ships, played by mouse and
// recorded as demos.
class EndToEndDemoTest : public ShippedGameTest {
protected:
    // Runs the game until it quits itself; the player, when given, plays it.
    void RunToQuit(MousePlayer* player)
    {
        ScriptedGame& game = *mGame;
        game.mScript = [&](int update) {
            if (player != nullptr)
                player->Update(update);
            if (update == kGiveUpAt) {
                ADD_FAILURE() << "stalled at " << (player != nullptr ? player->Report() : "the replay's end");
                game.RequestShutdown();
            }
        };
        game.Run();
        EXPECT_TRUE(game.mFatalErrors.empty()) << testing::PrintToString(game.mFatalErrors);
    }

    // Plays the demo in an empty data folder until the game quits by itself.
    void Replay(const std::string& demo)
    {
        std::filesystem::remove(DataFile("users.dat"));
        std::filesystem::remove(DataFile("scores.dat"));
        Start(std::make_unique<ScriptedGame>("-play", demo));
        RunToQuit(nullptr);
        EXPECT_FALSE(mGame->RanOutIdle()) << "the replay ran out before the game quit";
    }

    // The game holds the player and the hiscore the whole game leaves.
    void ExpectPlayerKept(int32_t score) const
    {
        const CUserProfiles& profiles = *mGame->Profiles();
        ASSERT_EQ(profiles.Count(), 1);
        EXPECT_EQ(profiles.CurrentName(), "Ada");
        const CUserProfile& ada = profiles.Record(profiles.CurrentIndex());
        // The game is over, at the level it was lost at.
        EXPECT_EQ(ada.progressA[0], 0);
        EXPECT_EQ(ada.progressA[2], 1);
        const CHiscoreTable::Table& scores = mGame->Hiscores()->GetTable(0);
        const auto entry = std::find_if(scores.begin(), scores.end(),
                                        [](const HiscoreEntry& e) { return std::strcmp(e.name, "Ada") == 0; });
        ASSERT_NE(entry, scores.end());
        EXPECT_EQ(entry->score, score);
    }

    // Ends the game, which saves its files, and reads them.
    RunEnd Close()
    {
        RunEnd end{mGame->LevelController()->Score(), mGame->mUpdateCount, "", ""};
        mGame.reset();
        end.mUsers = LumoTest::ReadFile(DataFile("users.dat"));
        end.mScores = LumoTest::ReadFile(DataFile("scores.dat"));
        return end;
    }
};

// The whole game: a new player, a new map game from the menu, the
// first level won, its tally and the map, the next level lost until the game
// is over, the hiscore entered and the game's own quit; then a second start
// in the same data folder finds the player, the progress and the hiscore.
TEST_F(EndToEndDemoTest, AWholeGamePlayedByMouseIsFoundAgainOnTheNextStart)
{
    Start(std::make_unique<ScriptedGame>("-record", mFolder / "game.dmo"));
    MousePlayer player(*mGame, Mouse(), "Ada", MousePlayer::kWin);
    RunToQuit(&player);
    const RunEnd recorded = Close();

    ASSERT_TRUE(player.QuitConfirmed());
    const std::vector<int32_t> expected = {kCreatePlayer1, kMenu, kStageSelect, kLevelMap, kLevelStart,
                                           kLevelEndClassic, kLevelMap, kLevelStart, kGameoverContinue, kLevelStart,
                                           kGameoverContinue, kLevelStart, kGameoverContinue, kLevelStart,
                                           kGameoverHiscore, kHiscoreHit, kMenu, kQuitConfirm};
    EXPECT_EQ(player.WindowsSeen(), expected);
    // The first level is the map's first position; after the map, its second, a timed level, until the end.
    ASSERT_FALSE(player.StartedPositions().empty());
    EXPECT_EQ(player.StartedPositions().front(), 0);
    EXPECT_EQ(player.StartedKinds().front(), CLevelController::kPointsKind);
    EXPECT_EQ(player.MapTarget(), 1);
    for (size_t i = 1; i < player.StartedPositions().size(); ++i) {
        EXPECT_EQ(player.StartedPositions()[i], 1);
        EXPECT_EQ(player.StartedKinds()[i], CLevelController::kTimedKind);
    }
    EXPECT_GE(player.TallyScore(), 800);
    EXPECT_GT(player.TallyGain(), 0);
    EXPECT_GE(player.GameOverScore(), player.TallyScore());
    EXPECT_EQ(recorded.mScore, player.GameOverScore());
    EXPECT_GT(LumoTest::ReadFile(mFolder / "game.dmo").size(), 0u);

    Start(std::make_unique<ScriptedGame>());
    MousePlayer again(*mGame, Mouse(), "", MousePlayer::kQuit);
    RunToQuit(&again);
    EXPECT_TRUE(again.QuitConfirmed());
    // No new player is asked for: the menu comes first.
    EXPECT_EQ(again.WindowsSeen(), (std::vector<int32_t>{kMenu, kQuitConfirm}));
    ExpectPlayerKept(player.GameOverScore());
    Close();

    // Set ZENTROVA_SAVE_DEMO to a path to keep this recording (see the kept demo's test below).
    if (const char* keep = std::getenv("ZENTROVA_SAVE_DEMO"))
        std::filesystem::copy_file(mFolder / "game.dmo", keep, std::filesystem::copy_options::overwrite_existing);
    // The recording replays to the same end: the game's own quit, the same score and the same files.
    Replay(mFolder / "game.dmo");
    const RunEnd played = Close();
    EXPECT_EQ(played.mScore, recorded.mScore);
    EXPECT_EQ(played.mUpdates, recorded.mUpdates);
    EXPECT_EQ(played.mUsers, recorded.mUsers);
    EXPECT_EQ(played.mScores, recorded.mScores);
}

// The demo kept with the tests was recorded by the test above: a change that
// breaks exact replay makes it end elsewhere. A change of the content or of
// the game's rules (the fields, what a landing scores, the windows on the way)
// rightly leads the same clicks elsewhere too; then record it anew, from the
// source folder, with
//   ZENTROVA_SAVE_DEMO=$PWD/tests/fixtures/demo/game.dmo build/check/tests/app/test_app --gtest_filter='*AWhole*'
// and set kKeptScore and kKeptUpdates to the score and the end this test then reports.
TEST_F(EndToEndDemoTest, TheKeptDemoReplaysToItsRecordedEnd)
{
    constexpr int32_t kKeptScore = 1010;
    constexpr int32_t kKeptUpdates = 13109;
    Replay(LUMO_FIXTURES_DIR "/demo/game.dmo");
    EXPECT_EQ(mGame->LevelController()->Score(), kKeptScore);
    ExpectPlayerKept(kKeptScore);
    const RunEnd played = Close();
    EXPECT_EQ(played.mUpdates, kKeptUpdates);
    EXPECT_FALSE(played.mUsers.empty());
    EXPECT_FALSE(played.mScores.empty());
}

// A replay that leaves its recording for a load the recording never made
// (the game holds its updates while it loads, so the records after it can
// never come due) ends there, as a replay past its last record does: it
// shows the game and idles instead of spinning on a black window.
TEST_F(EndToEndDemoTest, AReplayThatGoesIntoALoadItsRecordingNeverMadeEnds)
{
    // Recorded: the title and the first window (a new player's), then the end.
    Start(std::make_unique<ScriptedGame>("-record", mFolder / "menu.dmo"));
    int32_t menuAt = -1;
    mGame->mScript = [&](int update) {
        if (menuAt < 0 && mGame->GuiController() && Mouse().Showing(kCreatePlayer1))
            menuAt = update;
        if ((menuAt >= 0 && update == menuAt + 100) || update == kGiveUpAt)
            mGame->RequestShutdown();
    };
    mGame->Run();
    ASSERT_GE(menuAt, 0);
    mGame.reset();

    Start(std::make_unique<ScriptedGame>("-play", mFolder / "menu.dmo"));
    ScriptedGame& game = *mGame;
    int32_t callsSinceReload = -1;
    game.mScript = [&](int update) {
        if (callsSinceReload < 0 && update == menuAt + 50) {
            callsSinceReload = 0;
            game.Reload();
        } else if (callsSinceReload >= 0 && ++callsSinceReload == kGiveUpAt) {
            ADD_FAILURE() << "the replay never ended";
            game.RequestShutdown();
        }
    };
    game.Run();
    EXPECT_GE(callsSinceReload, 0);
    EXPECT_TRUE(game.RanOutIdle());
    EXPECT_EQ(game.LoadingStateNow(), CGameApp::kLoadHandled);
    EXPECT_EQ(game.mUpdateCount, menuAt + 50);
    EXPECT_NE(LumoTest::ReadFile(DataFile("applog.txt")).find("the replay has left its recording and ends"),
              std::string::npos);
}

} // namespace
} // namespace AppTest
