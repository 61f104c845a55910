#include "tests/app/LevelWatch.h"
#include "tests/app/RandomPlayer.h"
#include "tests/app/ShippedGameTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace AppTest {
namespace {

// Each session is a fresh start of the game in an empty data folder, played
// by one seed through this many games.
constexpr int32_t kGamesPerSession = 3;
// A session still going after this many updates has lost its way.
constexpr int32_t kSessionBound = 300000;
// One session in this many is played at a person's pace.
constexpr uint32_t kPersonEvery = 3;

int32_t EnvNumber(const char* name, int32_t fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

// The game drawing one frame in kDrawEvery: showing a frame costs more than
// the updates between.
class SoakGame : public ScriptedGame {
public:
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

class GameSoakTest : public ShippedGameTest, public testing::WithParamInterface<uint32_t> {};

// Random games on the real program and the archive it ships, each session
// from its own seed and in a test of its own, some at a person's pace.
// ZENTROVA_SOAK_GAMES sets how many games in all (three to a session; thirty
// by default, for the check), ZENTROVA_SOAK_SEED the first seed. For
// hundreds, run the test program itself with them: CTest keeps the list of
// tests it found first.
TEST_P(GameSoakTest, RandomGamesEndEveryLevelCleanly)
{
    const uint32_t seed = GetParam();
    Start(std::make_unique<SoakGame>());
    RandomPlayer player(*mGame, Mouse(), seed, kGamesPerSession);
    if (seed % kPersonEvery == 0)
        player.SetReaction(kPersonReaction);
    LevelWatch watch(*mGame, true);
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
