#include "app/CGameApp.h"
#include "framework/core/UserDataFolder.h"
#include "platform/storage/Files.h"
#include "game/board/CBall.h"
#include "game/board/CGameField.h"
#include "game/board/CGameProcessor.h"
#include "game/board/CLevelController.h"
#include "game/screens/CGUIController.h"
#include "game/screens/CLevelMap.h"
#include "game/data/CHiscoreTable.h"
#include "game/data/CImageTable.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace AppTest {
namespace {

// The game application with its message boxes and shutdown requests kept.
class RecordingGame : public CGameApp {
public:
    void ShowFatalErrorA(const std::string& text) override { mFatalErrors.push_back(text); }
    void RequestShutdown() override { ++mShutdownRequests; }

    std::vector<std::string> mFatalErrors;
    int mShutdownRequests = 0;
};

// The sample content's data files as loose files of the working folder.
class GameLoadingTest : public GameTest::GameFixture {
protected:
    GameLoadingTest()
    {
        std::filesystem::copy(std::string(ZENTROVA_CONTENT_DIR) + "/res", mFolder / "res",
                              std::filesystem::copy_options::recursive);
    }

    std::string ReadContent(const std::string& name) const
    {
        std::ifstream in(mFolder / ("res/" + name));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Runs the loading thread to its end and the hook that follows it.
    void Load(RecordingGame& game)
    {
        game.StartLoadingThread();
        game.WaitForLoadingThread();
        game.OnLoadingDone();
    }
};

TEST_F(GameLoadingTest, PackedSampleContentLoadsCleanAndTheFilesAreSavedAtExit)
{
    // The archive the game ships, with the pictures, fonts and sounds made at build time.
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(ZENTROVA_RES_PAK));
    {
        RecordingGame game;
        Load(game);
        EXPECT_TRUE(game.LoadedOk());
        EXPECT_EQ(game.LoadingStateNow(), CGameApp::kLoadHandled);
        EXPECT_TRUE(game.mFatalErrors.empty());
        EXPECT_EQ(game.mShutdownRequests, 0);
        EXPECT_GT(game.Images()->RecordCount(), 0u);
        ASSERT_NE(game.Field(), nullptr);
        ASSERT_NE(game.Ball(), nullptr);
        EXPECT_FALSE(game.Ball()->Definitions().empty());
        ASSERT_NE(game.GuiController(), nullptr);
        EXPECT_NE(game.GuiController()->Window(0), nullptr);
        EXPECT_EQ(game.GuiController()->mSlotPanel, game.SlotPanel());
        ASSERT_NE(game.Processor(), nullptr);
        EXPECT_NE(game.Processor()->DelayTimer(), nullptr);
        ASSERT_NE(game.LevelMap(), nullptr);
        EXPECT_EQ(game.LevelMap()->mWidth, 800);
        EXPECT_NE(LogText().find("Objbase: loaded"), std::string::npos);
        for (const std::string& line : LogLines())
            EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
        EXPECT_EQ(GameApp(), &game);
        EXPECT_TRUE(game.Hiscores()->Insert("Ada", 98765));
    }
    EXPECT_EQ(GameApp(), nullptr);
    EXPECT_NE(LumoTest::ReadFile(Platform::NativePath(Lumo::GetUserDataFolder() + "scores.dat")).find("Ada"), std::string::npos);
}

TEST_F(GameLoadingTest, AReloadAskedForDuringALoadWaitsForItsEndWithoutBlocking)
{
    RecordingGame game;
    game.StartLoadingThread();
    // The main thread that asks is the one that handles the load's end.
    game.Reload();
    EXPECT_EQ(game.LoadingStateNow(), CGameApp::kNeverLoaded);
    game.WaitForLoadingThread();
    game.OnLoadingDone();
    EXPECT_EQ(game.LoadingStateNow(), CGameApp::kReloading);
    game.WaitForLoadingThread();
    game.OnLoadingDone();
    EXPECT_EQ(game.LoadingStateNow(), CGameApp::kLoadHandled);
    EXPECT_TRUE(game.LoadedOk());
}

// Icons: 1 timed, 2 puzzle, 3 crazy, else 0; positions past the graph's list
// are not looked up (a lookup there would reshuffle the endless graph).
TEST_F(GameLoadingTest, TheLevelMapShowsTheKindOfEachListedPositionAndClampsItsPositions)
{
    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(ZENTROVA_RES_PAK));
    RecordingGame game;
    Load(game);
    struct Case {
        const char* mWhat;
        int32_t mGraph;
        int32_t mMap, mFrom, mTo;
        std::array<int32_t, 10> mKinds;
        int32_t mPassed;
    };
    const Case cases[] = {
        {"the first map", 0, 0, 2, 3, {0, 1, 2, 3, 0, 0, 0, 1, 2, 3}, 3},
        {"a position past the map", 0, 1, 12, 3, {0, 1, 2, 3, 0, 0, 0, 1, 2, 3}, 9},
        {"before the first position", 0, 0, -1, 0, {0, 1, 2, 3, 0, 0, 0, 1, 2, 3}, 0},
        {"a graph of six levels", 1, 0, 0, 1, {0, 0, 1, 2, 3, 0, 0, 0, 0, 0}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mWhat);
        game.LevelController()->StartLevel(c.mGraph, 0);
        game.ShowLevelMap(c.mMap, c.mFrom, c.mTo);
        const CLevelMap& map = *game.LevelMap();
        ASSERT_EQ(map.CurrentMap(), c.mMap);
        int32_t passed = 0;
        for (size_t i = 0; i < c.mKinds.size(); ++i) {
            const auto& position = map.Maps()[size_t(c.mMap)].mPositions[i];
            EXPECT_EQ(position.mKind, c.mKinds[i]) << i;
            passed += position.mPassed;
        }
        EXPECT_EQ(passed, c.mPassed);
    }
}

TEST_F(GameLoadingTest, AFailedLoadShowsItsMessageAndEndsTheProgram)
{
    struct Case {
        const char* mWhat;
        const char* mFile;
        std::string (*mChange)(const std::string& text);
    };
    const Case cases[] = {
        {"no globals file", "globals.xml", [](const std::string&) { return std::string(); }},
        {"a fixed track missing", "trackbase.xml",
         [](const std::string& text) { return std::regex_replace(text, std::regex("ctrl_hazard_ball"), "renamed"); }},
        {"the field without its blocks", "gamefields.xml",
         [](const std::string& text) { return std::regex_replace(text, std::regex("<block_queues"), "<unknown"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mWhat);
        const std::string original = ReadContent(c.mFile);
        WriteFile(std::string("res\\") + c.mFile, c.mChange(original));
        {
            RecordingGame game;
            Load(game);
            EXPECT_FALSE(game.LoadedOk());
            EXPECT_EQ(game.mFatalErrors, std::vector<std::string>{"Error while loading."});
            EXPECT_EQ(game.mShutdownRequests, 1);
            EXPECT_TRUE(LogHas("[ERROR] Loading failed"));
        }
        WriteFile(std::string("res\\") + c.mFile, original);
    }
}

} // namespace
} // namespace AppTest
