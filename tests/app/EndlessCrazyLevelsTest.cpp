#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/board/play/CBall.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/MousePlayer.h"
#include "tests/app/SavedGameTest.h"
#include "tests/app/WindowCommands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// "Colour Storm", the endless graph's crazy level, is listed at position 4
// and is among the four medium and hard entries of its cycles.
constexpr int32_t kListedCrazy = 4;
// The ball of the crazy levels, which bounces slowly enough for a person.
constexpr int32_t kSlowBall = 2;
constexpr int32_t kLevelTypeCrazy = 2;
constexpr int32_t kGiveUpAt = 30000;

// The endless game continued from a player's saved game, on the program with
// the archive it ships.
class EndlessCrazyLevelsTest : public SavedGameTest {
protected:
    bool SlowBall() const
    {
        const CBall& ball = *mGame->Ball();
        const BallDef& slow = ball.Definitions()[kSlowBall];
        return ball.Def().mG == slow.mG && ball.Def().mP == slow.mP;
    }

    bool CrazyLevel() const { return mGame->LevelController()->Level().mLevelType == kLevelTypeCrazy; }

    // The game saved at the crazy level of the cycle, in the cycles' order
    // of the seed.
    void SaveAtTheCrazyLevel(int32_t cycle, uint32_t seed)
    {
        CLevelGraphs& graphs = *mGame->LevelGraphs();
        graphs.SetCycleSeed(seed);
        int32_t position = kListed + cycle * kCycle;
        for (int32_t onload = -1;
             mGame->LevelController()->Table().Level(graphs.PickNext(kEndlessGraph, position, &onload)).mLevelType !=
             kLevelTypeCrazy;)
            ++position;
        mGame->Profiles()->SetRecordB({int32_t(seed), position, 0, 1000, 0});
    }

    // One try, a second later each time: the saved game at the crazy level
    // of the cycle, played by a person clicking a reaction after each
    // landing until the level is won or the game is lost; true when won.
    bool WinsTheCrazyLevelOf(int32_t cycle, int32_t attempt)
    {
        mClock.AdvanceMillis(1000 * uint32_t(attempt));
        StartWith(SavedEndlessGame(kListed));
        MousePlayer player(*mGame, Mouse(), "Ada", MousePlayer::kWin);
        player.SetReaction(kPersonReaction);
        ScriptedGame& game = *mGame;
        int32_t crazyAt = -1;
        bool saved = false;
        bool won = false;
        bool lost = false;
        int32_t waitUntil = 0;
        game.mScript = [&](int update) {
            if (update == kGiveUpAt)
                game.RequestShutdown();
            if (game.LoadingStateNow() != CGameApp::kLoadHandled || update < waitUntil)
                return;
            if (!saved)
                SaveAtTheCrazyLevel(cycle, CLevelGraphs::kFirstSeed + uint32_t(attempt));
            saved = true;
            const int32_t window = Mouse().ShownWindow();
            if (window == kMenu) {
                if (Mouse().PressButton(Command::kMenuEndless))
                    waitUntil = update + kAfterPress;
                return;
            }
            player.Update(update);
            const CLevelController& levels = *game.LevelController();
            if (crazyAt < 0 && levels.State() == CLevelController::kPlaying && CrazyLevel()) {
                crazyAt = levels.CurrentPosition();
                EXPECT_TRUE(SlowBall()) << "the crazy level at " << crazyAt;
            }
            won = crazyAt >= 0 && levels.CurrentPosition() > crazyAt;
            lost = window == kScoreGameover || window == kScoreGameoverHiscore;
            if (won || lost)
                game.RequestShutdown();
        };
        game.Run();
        EXPECT_TRUE(game.mFatalErrors.empty());
        // A level that can be neither won nor lost has stalled.
        EXPECT_TRUE(won || lost) << "the crazy level at " << crazyAt;
        const std::string outcome = won ? "won" : lost ? "lost" : "still in play";
        RecordProperty("try" + std::to_string(attempt),
                       "the crazy level at " + std::to_string(crazyAt) + ": " + outcome);
        mGame.reset();
        return won;
    }
};

} // namespace

// Continued at each position: the crazy level, listed or given by a cycle,
// comes with the slow ball, and every other level without it, the one at
// the crazy level's listed slot of a cycle too.
TEST_F(EndlessCrazyLevelsTest, OnlyTheCrazyLevelsHaveTheSlowBallWhereverTheyArePlayed)
{
    int32_t crazyInCycle = 0;
    for (const int32_t position : {kListedCrazy - 1, kListedCrazy, kListed - 1, kListed, kListed + 1, kListed + 2,
                                   kListed + 3, kListed + kCycle + 2, kListed + 2 * kCycle + 2}) {
        StartWith(SavedEndlessGame(position));
        Play(ToEndlessGame());
        const CLevelController& levels = *mGame->LevelController();
        EXPECT_EQ(levels.CurrentPosition(), position);
        if (position < kListed) {
            EXPECT_EQ(CrazyLevel(), position == kListedCrazy) << position;
        }
        EXPECT_EQ(SlowBall(), CrazyLevel()) << position;
        crazyInCycle += position >= kListed && CrazyLevel();
        mGame.reset();
    }
    EXPECT_GT(crazyInCycle, 0);
}

// Past the listed levels, a person-paced player wins the crazy level in the
// first cycle and in later ones, as in the map game.
TEST_F(EndlessCrazyLevelsTest, APersonWinsTheCrazyLevelsOfTheCycles)
{
    int32_t won = 0;
    int32_t attempt = 0;
    for (const int32_t cycle : {0, 1, 2})
        won += WinsTheCrazyLevelOf(cycle, attempt++);
    EXPECT_GE(won, 2);
}

} // namespace AppTest
