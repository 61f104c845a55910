#include "game/board/field/CCellGrid.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/ShippedGameTest.h"
#include "tests/app/WindowCommands.h"

#include <gtest/gtest.h>

#include <vector>

namespace AppTest {
namespace {

using namespace GUIWindowId;

class EndlessAgainTest : public ShippedGameTest {};


// An endless game lost with energy left, as when no group is left to take,
// is over: the menu's endless game is a new one, which starts with its start
// window on a new field and takes clicks, not the lost one's field carried on.
TEST_F(EndlessAgainTest, AfterAnEndlessGameIsLostTheNextOneStartsAfreshAndTakesClicks)
{
    auto made = std::make_unique<ScriptedGame>();
    made->Profiles()->Add("Ada");
    made->Profiles()->SelectByName("Ada");
    ScriptedGame& game = Start(std::move(made));
    std::vector<int32_t> windows;
    int32_t games = 0;
    int32_t lostWithEnergy = -1;
    int32_t aliveAfterLoss = -1;
    int32_t matchCount = 0;
    int32_t waitUntil = 0;
    game.mScript = [&](int update) {
        if (update == 30000 || game.LoadingStateNow() != CGameApp::kLoadHandled || update < waitUntil)
            return update == 30000 ? game.RequestShutdown() : void();
        const GameMouse mouse = Mouse();
        const int32_t window = mouse.ShownWindow();
        if (window >= 0 && (windows.empty() || windows.back() != window)) {
            windows.push_back(window);
            games += window == kScoreStart;
        }
        CLevelController& levels = *game.LevelController();
        CCellGrid& grid = game.Field()->Grid();
        if (window == kMenu && lostWithEnergy >= 0 && aliveAfterLoss < 0) {
            grid.SetMatchCount(matchCount);
            aliveAfterLoss = game.Profiles()->Record(game.Profiles()->CurrentIndex()).progressB[0];
        }
        // From the menu to the endless game, and on through the windows from one game to the next.
        if (mouse.PressButton(window == kMenu ? Command::kMenuEndless : OnwardCommand(window))) {
            waitUntil = update + 20;
            return;
        }
        if (window >= 0 || !mouse.FieldTakesClick())
            return;
        if (lostWithEnergy < 0 && levels.State() == CLevelController::kPlaying && games == 1) {
            // No group left to take: the next landing misses and the game is lost, energy or not.
            matchCount = grid.MatchCount();
            grid.SetMatchCount(grid.CellCount() + 1);
            grid.Rebuild();
            mouse.ClickCell(1, 1);
            lostWithEnergy = levels.Energy();
            waitUntil = update + 200;
            return;
        }
        if (games == 2) {
            for (int32_t cell = 0; cell < grid.CellCount(); ++cell) {
                if (mouse.GroupTaken(cell) > 0) {
                    mouse.ClickCell(cell % grid.Width(), cell / grid.Width());
                    waitUntil = update + 300;
                    games = 3;
                    return;
                }
            }
        }
        if (games == 3)
            game.RequestShutdown();
    };
    game.Run();

    EXPECT_TRUE(game.mFatalErrors.empty());
    EXPECT_GT(lostWithEnergy, 0);
    EXPECT_EQ(aliveAfterLoss, 0);
    // No offer to continue the lost game: the second game starts from its own start window.
    const std::vector<int32_t> start = {kMenu, kScoreStart};
    ASSERT_GE(windows.size(), 4u);
    EXPECT_EQ(std::vector<int32_t>(windows.end() - 2, windows.end()), start) << testing::PrintToString(windows);
    EXPECT_EQ(games, 3);
    EXPECT_GT(game.LevelController()->Score(), 0);
}

} // namespace
} // namespace AppTest
