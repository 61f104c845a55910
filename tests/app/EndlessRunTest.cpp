#include "game/board/levels/CLevelController.h"
#include "game/data/players/CUserProfiles.h"
#include "tests/app/EndlessPlayer.h"
#include "tests/app/ShippedGameTest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace AppTest {
namespace {

// The endless graph lists a puzzle at position 3 and the crazy level after
// it; its cycles hold one of each.
constexpr int32_t kMostTries = 3;
constexpr int kGiveUpAt = 200000;

class EndlessRunTest : public ShippedGameTest {};

} // namespace

// A new player, Menu -> Endless -> Go, plays at a person's pace through the
// listed levels and two cycles past them: each level is won within three
// tries, the puzzles on their own field, and no level other than a puzzle
// starts with grey stones on its field; the HUD shows each crazy level's colour.
TEST_F(EndlessRunTest, APersonWinsTheListedLevelsAndTwoCyclesPastThem)
{
    auto start = std::make_unique<ScriptedGame>();
    start->Profiles()->Add("Ada");
    start->Profiles()->SelectByName("Ada");
    ScriptedGame& game = Start(std::move(start));
    EndlessPlayer player(game, Mouse(), kListed + 2 * kCycle);
    player.SetReaction(kPersonReaction);
    game.mScript = [&](int update) {
        player.Update(update);
        if (player.GoalReached() || update == kGiveUpAt)
            game.RequestShutdown();
    };
    game.Run();
    RecordProperty("run", player.Report());
    EXPECT_TRUE(game.mFatalErrors.empty());
    ASSERT_TRUE(player.GoalReached()) << player.Report();
    int32_t puzzles = 0;
    int32_t crazy = 0;
    for (const auto& [position, tries] : player.Tries()) {
        if (position >= kListed + 2 * kCycle)
            break;
        EXPECT_LE(tries, kMostTries) << position << ": " << player.Report();
        puzzles += player.Kinds().at(position) == CLevelController::kPuzzleKind;
        crazy += player.Kinds().at(position) == CLevelController::kCrazyKind;
    }
    // The listed puzzle and crazy level, and one of each in every cycle.
    EXPECT_EQ(puzzles, 3);
    EXPECT_EQ(crazy, 3);
    EXPECT_TRUE(player.UnsolvableAtStart().empty()) << player.Report();
    EXPECT_TRUE(player.GreyAtStart().empty()) << player.Report();
    for (const auto& [position, shown] : player.ColourShown())
        EXPECT_TRUE(shown) << "the crazy level at " << position;
}

} // namespace AppTest
