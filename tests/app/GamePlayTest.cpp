#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "platform/process/Clock.h"
#include "tests/app/ShippedGameTest.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace AppTest {
namespace {

class GamePlayTest : public ShippedGameTest {
protected:
    // The game with the player "Ada" chosen.
    ScriptedGame& Start()
    {
        auto game = std::make_unique<ScriptedGame>();
        game->Profiles()->Add("Ada");
        game->Profiles()->SelectByName("Ada");
        return ShippedGameTest::Start(std::move(game));
    }

    void ClickButton(int32_t command) { Mouse().ClickButton(command); }
    bool Showing(int32_t window) { return Mouse().Showing(window); }
};

TEST_F(GamePlayTest, ShowsTheTitleOpensTheMenuAndSavesThePlayersFilesAtExit)
{
    ScriptedGame& game = Start();
    bool titleShown = false;
    int menuAt = -1;
    game.mScript = [&](int update) {
        titleShown = titleShown || (game.TitleScreen() && game.LoadedOk());
        if (menuAt < 0 && game.GuiController() && game.GuiController()->LastOpenedWindow() == GUIWindowId::kMenu)
            menuAt = update;
        if (menuAt >= 0 && update == menuAt + 200) {
            game.Hiscores()->Insert("Ada", 4321);
            game.RequestShutdown();
        }
        if (update == 5000)
            game.RequestShutdown();
    };
    game.Run();

    EXPECT_TRUE(game.mFatalErrors.empty());
    EXPECT_TRUE(titleShown);
    ASSERT_GE(menuAt, 0);
    EXPECT_TRUE(game.GamePaused());
    EXPECT_TRUE(game.GameScreenShown());
    mGame.reset();
    const std::string scores =
        LumoTest::ReadFile(DataFile("scores.dat"));
    EXPECT_NE(scores.find("Ada"), std::string::npos);
}

// The loading thread takes its own real time, which the fake clock does not
// see: two starts open the menu at the same update and the same time.
TEST_F(GamePlayTest, TwoStartsOpenTheMenuAtTheSameUpdateAndTimeWhateverTheLoadingThreadTakes)
{
    std::vector<std::pair<int, uint32_t>> menus;
    for (int start = 0; start < 2; ++start) {
        const uint32_t begun = Platform::timeGetTime();
        ScriptedGame& game = Start();
        game.mScript = [&](int update) {
            if (game.GuiController() && game.GuiController()->LastOpenedWindow() == GUIWindowId::kMenu) {
                menus.emplace_back(update, Platform::timeGetTime() - begun);
                game.RequestShutdown();
            }
            if (update == 5000)
                game.RequestShutdown();
        };
        game.Run();
        mGame.reset();
    }
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0], menus[1]);
}

} // namespace
} // namespace AppTest

namespace AppTest {
namespace {

// From the menu to play with the mouse only: the endless game starts, its
// start window is clicked away, and cells are clicked until a group scores.
TEST_F(GamePlayTest, AGameStartsFromTheMenuAndClickedCellsScoreOnThePanel)
{
    ScriptedGame& game = Start();
    enum Step { kToMenu, kToStartWindow, kPlaying, kDone };
    Step step = kToMenu;
    int32_t clicks = 0;
    int32_t waitUntil = 0;
    game.mScript = [&](int update) {
        CGUIController* gui = game.GuiController();
        if (update == 20000 || !gui)
            return update == 20000 ? game.RequestShutdown() : void();
        switch (step) {
        case kToMenu:
            if (Showing(GUIWindowId::kMenu)) {
                ClickButton(18);
                step = kToStartWindow;
            }
            break;
        case kToStartWindow:
            if (game.LevelController()->State() == CLevelController::kIntro && gui->State() == CGUIController::kShown &&
                gui->CurrentWindow() != GUIWindowId::kMenu) {
                ClickButton(gui->Window(gui->CurrentWindow())->mFirstButton);
                step = kPlaying;
            }
            break;
        case kPlaying:
            if (game.Panel()->PointsValue() > 0 || clicks == 40) {
                step = kDone;
                waitUntil = update + 100;
            } else if (!game.GamePaused() && update >= waitUntil) {
                const CGameField& field = *game.Field();
                Mouse().ClickCell(clicks % field.Width(), clicks / field.Width() % field.Height());
                ++clicks;
                waitUntil = update + 150;
            }
            break;
        case kDone:
            if (update == waitUntil)
                game.RequestShutdown();
            break;
        }
    };
    game.Run();

    EXPECT_TRUE(game.mFatalErrors.empty());
    ASSERT_EQ(step, kDone);
    EXPECT_LT(clicks, 40);
    EXPECT_GT(game.Panel()->PointsValue(), 0);
    EXPECT_EQ(game.Panel()->PointsValue(), game.LevelController()->Score());
    const int32_t score = game.LevelController()->Score();
    mGame.reset();
    // The endless game in play went into Ada's record, its score with it.
    const std::string users = LumoTest::ReadFile(DataFile("users.dat"));
    EXPECT_NE(users.find("Ada"), std::string::npos);
    const char bytes[4] = {char(score & 0xff), char(score >> 8 & 0xff), char(score >> 16 & 0xff),
                           char(score >> 24 & 0xff)};
    EXPECT_NE(users.find(std::string(bytes, 4)), std::string::npos);
}

} // namespace
} // namespace AppTest
