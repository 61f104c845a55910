#include "app/CGameApp.h"
#include "framework/core/UserDataFolder.h"
#include "platform/storage/Files.h"
#include "game/board/play/CBall.h"
#include "game/board/field/CGameField.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/levels/CLevelController.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/menus/CGameCommands.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/screens/map/CLevelMap.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/pictures/CImageTable.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>

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

// The game loading from the archive it ships, with the pictures, fonts and
// sounds made at build time.
class GameLoadingTest : public GameTest::GameFixture {
protected:
    // A data file of the sample content as written.
    static std::string ReadContent(const std::string& name)
    {
        return LumoTest::ReadFile(std::string(ZENTROVA_CONTENT_DIR) + "/res/" + name);
    }

    // The archive the game ships with one of its data files replaced over it.
    void MountShippedWith(const std::string& file, const std::string& text)
    {
        MountShipped();
        PakWriter writer;
        ASSERT_TRUE(writer.Add("res\\" + file, text));
        const std::string path = mFolder / "changed.pak";
        std::string error;
        ASSERT_TRUE(writer.WriteFile(path, &error)) << error;
        ASSERT_TRUE(mPak.MountArchive(path));
    }

    void MountShipped() { ASSERT_TRUE(mPak.MountArchive(ZENTROVA_RES_PAK)); }

    // Runs the loading thread to its end and the hook that follows it.
    void Load(RecordingGame& game)
    {
        game.StartLoadingThread();
        game.WaitForLoadingThread();
        game.OnLoadingDone();
    }

    PakInterface mPak;
};

TEST_F(GameLoadingTest, PackedSampleContentLoadsCleanAndTheFilesAreSavedAtExit)
{
    MountShipped();
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
    MountShipped();
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
    MountShipped();
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
        const char* mMessage;
    };
    const auto empty = [](const std::string&) { return std::string(); };
    const Case cases[] = {
        {"no globals file", "globals.xml", empty, "ERROR config - missing fonts"},
        {"a fixed track missing", "trackbase.xml",
         [](const std::string& text) { return std::regex_replace(text, std::regex("ctrl_hazard_ball"), "renamed"); },
         "ERROR: cant load track ctrl_hazard_ball"},
        {"the field without its blocks", "gamefields.xml",
         [](const std::string& text) { return std::regex_replace(text, std::regex("<block_queues"), "<unknown"); },
         "ERROR CGameField::LoadFromXml - no block_queues"},
        {"no level with a match list", "levels.xml",
         [](const std::string& text) { return std::regex_replace(text, std::regex("<match>.*</match>"), ""); },
         "ERROR LevelController::LoadFromXml - no levels"},
        {"an empty levels file", "levels.xml", empty, "ERROR LevelController::LoadFromXml - no levels"},
        {"an empty graphs file", "levelgraphs.xml", empty, "ERROR LevelGraphs - no root"},
        {"a graphs file that does not parse", "levelgraphs.xml",
         [](const std::string& text) { return text.substr(0, text.size() / 2); }, "ERROR LevelGraphs - no root"},
        {"a block too large to draw", "gamefields.xml",
         [](const std::string& text) {
             return std::regex_replace(text, std::regex("<block w=\"64\""), "<block w=\"100000\"");
         },
         "ERROR res\\gamefields.xml: <block> w=100000 is outside 1..512"},
        {"levels nested deeper than the parser goes", "levels.xml",
         [](const std::string& text) {
             std::string deep;
             for (int i = 0; i < 50000; ++i)
                 deep += "<level>";
             return std::regex_replace(text, std::regex("<root>"), "<root>" + deep);
         },
         "ERROR: res\\levels.xml nests elements deeper than 256"},
        {"every track standing still", "trackbase.xml",
         [](const std::string& text) {
             return std::regex_replace(text, std::regex("speed=\"[^\"]*\""), "speed=\"0\"");
         },
         "ERROR res\\trackbase.xml: <hud_slide_on> speed=0 is outside 0.0001..10000"},
        {"an empty panel file", "gamepanel.xml", empty, "ERROR CGamePanel - no gamepanel"},
        {"graphs of unknown levels", "levelgraphs.xml",
         [](const std::string& text) { return std::regex_replace(text, std::regex("name=\""), "name=\"x"); },
         "ERROR LevelGraphs - 2 graphs, none with a level"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mWhat);
        MountShippedWith(c.mFile, c.mChange(ReadContent(c.mFile)));
        // A game moves the data folder, where the next one opens its log.
        Lumo::SetUserDataFolder(mDataFolder);
        {
            RecordingGame game;
            Load(game);
            EXPECT_FALSE(game.LoadedOk());
            EXPECT_EQ(game.mFatalErrors, std::vector<std::string>{"Error while loading."});
            EXPECT_EQ(game.mShutdownRequests, 1);
            EXPECT_TRUE(LogHas(c.mMessage));
            EXPECT_TRUE(LogHas("[ERROR] Loading failed"));
        }
    }
}

// The endless game plays graph 1: with one graph in the file it is refused and
// the player stays on the menu. Before any level the field has no cells, so
// the pointer over the board hits none.
TEST_F(GameLoadingTest, AGameWhoseGraphIsMissingIsRefusedOnTheMenu)
{
    std::string graphs = ReadContent("levelgraphs.xml");
    const size_t second = graphs.find("<graph", graphs.find("</graph>"));
    graphs.erase(second, graphs.find("</graph>", second) + 8 - second);
    MountShippedWith("levelgraphs.xml", graphs);
    RecordingGame game;
    Load(game);
    ASSERT_TRUE(game.LoadedOk());
    EXPECT_EQ(game.LevelGraphs()->GraphCount(), 1);

    game.SetGamePaused(false);
    game.Board()->MouseMove(400, 300);
    game.SetGamePaused(true);

    CGUIController& gui = *game.GuiController();
    gui.OpenWindow(GUIWindowId::kMenu, true);
    game.Commands()->OnGuiCommand(18, 0);
    for (int step = 0; step < 200 && !LogHas("ERROR no level graph 1: the game is not started"); ++step)
        gui.UpdateTracks(10.0f);
    EXPECT_TRUE(LogHas("ERROR no level graph 1: the game is not started"));
    EXPECT_EQ(gui.LastOpenedWindow(), GUIWindowId::kMenu);
    EXPECT_NE(game.LevelController()->CurrentGraph(), 1);
    EXPECT_TRUE(game.mFatalErrors.empty());
}

// An archive whose data area is damaged (its directory intact) fails the
// start with the one message: no box for each font, no black window.
TEST_F(GameLoadingTest, AnArchiveWithADamagedDataAreaFailsTheStartWithOneMessage)
{
    std::string bytes = LumoTest::ReadFile(ZENTROVA_RES_PAK);
    std::fill(bytes.begin() + std::ptrdiff_t(bytes.size() / 3), bytes.begin() + std::ptrdiff_t(bytes.size() * 2 / 3),
              '\0');
    mFolder.Write("damaged.pak", bytes);
    ASSERT_TRUE(mPak.MountArchive(mFolder / "damaged.pak"));
    RecordingGame game;
    Load(game);
    EXPECT_FALSE(game.LoadedOk());
    EXPECT_EQ(game.mFatalErrors, std::vector<std::string>{"Error while loading."});
    EXPECT_EQ(game.mShutdownRequests, 1);
}

} // namespace
} // namespace AppTest
