#include "app/CGameApp.h"
#include "framework/StaticInit.h"
#include "framework/core/UserDataFolder.h"
#include "framework/resources/PakInterface.h"
#include "framework/widgets/WidgetManager.h"
#include "game/board/CGameField.h"
#include "game/board/CLevelController.h"
#include "game/data/CHiscoreTable.h"
#include "game/data/CUserProfiles.h"
#include "game/board/FieldPoint.h"
#include "game/screens/CBackgroundWidget.h"
#include "game/screens/CGUIController.h"
#include "game/screens/CGamePanel.h"
#include "game/screens/GUIWindowTable.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/display/DirectDraw.h"
#include "platform/display/DisplayDesktop.h"
#include "platform/process/Process.h"
#include "platform/sound/AudioModules.h"
#include "platform/storage/Files.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace AppTest {
namespace {

struct ExitCalled {
    uint32_t mCode;
};

// The game as the program runs it, with a script run after every update.
class ScriptedGame : public CGameApp {
public:
    ScriptedGame() { mCommandLineRead = true; }
    bool KeepWorkingFolder(const std::string&) override { return true; }
    void ShowFatalErrorA(const std::string& text) override { mFatalErrors.push_back(text); }
    void UpdateFrames() override
    {
        CGameApp::UpdateFrames();
        if (mScript)
            mScript(mUpdateCount);
    }

    // Pictures cost in the checked build; one frame in twenty shows enough.
    bool DrawFrame() override
    {
        if (mUpdateCount % 20 == 0)
            return CGameApp::DrawFrame();
        mHasUpdatedSinceDraw = false;
        return true;
    }

    std::function<void(int)> mScript;
    std::vector<std::string> mFatalErrors;
};

// The real program on the archive it ships, on a headless desktop under the fake clock.
class GamePlayTest : public GameTest::GameFixture {
protected:
    GamePlayTest()
    {
        std::filesystem::copy_file(ZENTROVA_RES_PAK, mFolder / "res.pak");
        Platform::RegisterDirectDrawModule();
        Platform::RegisterAudioModules();
        Platform::DisplayDesktop::Reset();
        mPreviousExit = Platform::SetExitHook([](uint32_t code) { throw ExitCalled{code}; });
        mPreviousPak = Lumo::gPakInterface;
        Lumo::gPakInterface = &mPak;
    }
    ~GamePlayTest() override
    {
        mGame.reset();
        Lumo::gPakInterface = mPreviousPak;
        Platform::SetExitHook(mPreviousExit);
        Platform::DisplayDesktop::Reset();
    }

    ScriptedGame& Start()
    {
        mGame = std::make_unique<ScriptedGame>();
        mGame->Profiles()->Add("Ada");
        mGame->Profiles()->SelectByName("Ada");
        mGame->LoadSettings();
        mGame->Initialize();
        return *mGame;
    }

    // A press and release of the left button at a point of the window.
    void Click(int32_t x, int32_t y)
    {
        Platform::HeadlessBackend& desktop = mSession.Desktop();
        desktop.InjectMouseMove(mGame->mHWnd, x, y);
        desktop.InjectButton(mGame->mHWnd, Platform::MouseButton::Left, true, x, y);
        desktop.InjectButton(mGame->mHWnd, Platform::MouseButton::Left, false, x, y);
    }

    // Clicks a button of the window on screen, given by its command id.
    void ClickButton(int32_t command)
    {
        CGUIController& gui = *mGame->GuiController();
        const GUIButton& button = *gui.Button(command);
        const int32_t width = gui.Window(gui.CurrentWindow())->mWidth;
        Click(button.mRect.mX + button.mRect.mWidth / 2 - width / 2 + 400, button.mRect.mY + button.mRect.mHeight / 2);
    }

    // Whether the window is open and takes the pointer.
    bool Showing(int32_t window) const
    {
        const CGUIController& gui = *mGame->GuiController();
        return gui.CurrentWindow() == window && gui.State() == CGUIController::kShown;
    }

    Platform::ExitHook mPreviousExit;
    PakInterface mPak;
    PakInterface* mPreviousPak = nullptr;
    std::unique_ptr<ScriptedGame> mGame;
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
        LumoTest::ReadFile(Platform::NativePath(Lumo::GetUserDataFolder() + "scores.dat"));
    EXPECT_NE(scores.find("Ada"), std::string::npos);
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
                const FieldPoint at = field.CellCentre(clicks % field.Width(), clicks / field.Width() % field.Height());
                Click(int32_t(at.mX) + 400, int32_t(at.mY) + 300);
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
    const std::string users = LumoTest::ReadFile(Platform::NativePath(Lumo::GetUserDataFolder() + "users.dat"));
    EXPECT_NE(users.find("Ada"), std::string::npos);
    const char bytes[4] = {char(score & 0xff), char(score >> 8 & 0xff), char(score >> 16 & 0xff),
                           char(score >> 24 & 0xff)};
    EXPECT_NE(users.find(std::string(bytes, 4)), std::string::npos);
}

} // namespace
} // namespace AppTest
