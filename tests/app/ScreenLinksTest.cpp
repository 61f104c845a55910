#include "framework/graphics/fonts/Font.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/levels/CLevelGraphs.h"
#include "game/board/play/CBall.h"
#include "game/data/CGameConfig.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/windows/VirtualKeys.h"
#include "tests/app/MousePlayer.h"
#include "tests/app/ShippedGameTest.h"
#include "tests/app/WindowCommands.h"
#include "tests/support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <utility>
#include <functional>
#include <string>
#include <vector>

namespace AppTest {
namespace {

using namespace GUIWindowId;

constexpr int32_t kGiveUpAt = 20000;
// Windows fade out after a click; the next look comes after that.
constexpr int32_t kAfterPress = 20;
// The map game's last position, the end of its graph.
constexpr int32_t kLastPosition = 19;
// "Colour Storm", the map game's first crazy level.
constexpr int32_t kCrazyPosition = 3;
// The map game's values in a player's record.
constexpr int32_t kSavedPosition = 2;
constexpr int32_t kSavedPoints = 3;
constexpr int32_t kSavedScore = 5;
constexpr int32_t kSavedProgress = 8;
constexpr int32_t kResultValue = 9;
constexpr int32_t kSavedEnergy = 11;
// The pause window's line with the player's rank.
constexpr int32_t kPauseRankSlot = 32;

// The ways between the game's screens, the map, the menus and play, seen on
// the program with the archive it ships: "Ada" continues her saved map game,
// or starts an endless one, by mouse and keys.
class ScreenLinksTest : public ShippedGameTest {
protected:
    // Ada, current, with her map game saved at the position with the level's
    // points (0 for its start points); the others are players too.
    ScriptedGame& StartAs(int32_t position, int32_t points = 0, const std::vector<std::string>& others = {},
                          int32_t result = 0)
    {
        auto game = std::make_unique<ScriptedGame>();
        CUserProfiles& profiles = *game->Profiles();
        for (const std::string& name : others)
            profiles.Add(name);
        profiles.Add("Ada");
        profiles.SelectByName("Ada");
        const int32_t values[CUserProfile::kProgressACount] = {1, 0, position, points, 0, 0, 0, 0, 0, result, 2, 1000};
        profiles.SetRecordA(values);
        return Start(std::move(game));
    }

    // Ada at a position of the map game, its level made a plain one nearly
    // won: one landing that scores wins it.
    ScriptedGame& StartNearTheEndOf(int32_t position, int32_t result)
    {
        std::string graphs = ShippedFile("res\\levelgraphs.xml");
        size_t entry = graphs.find("<level ");
        for (int32_t i = 0; i < position && entry != std::string::npos; ++i)
            entry = graphs.find("<level ", entry + 1);
        EXPECT_LT(entry, graphs.find("</graph>"));
        graphs.replace(entry, graphs.find("/>", entry) + 2 - entry,
                       R"(<level name="Open Field" mode_desc_id="0" bonus="500"/>)");
        ShipWith("res\\levelgraphs.xml", graphs);
        return StartAs(position, 790, {}, result);
    }

    ScriptedGame& StartNearTheHappyEnd(int32_t result) { return StartNearTheEndOf(kLastPosition, result); }

    // The caption of the group label in the info slot.
    std::string GroupCaption(int32_t slot)
    {
        CGUIController& gui = *mGame->GuiController();
        const GUILabel* label = gui.Label(gui.InfoLabelIndex(slot));
        if (label == nullptr || !label->IsGroup())
            return "";
        const auto [first, end] = gui.LabelGroup(label->mHalfWidthOrGroup);
        return first < end ? gui.Label(first)->mText : "";
    }

    // The map game of the one player in users.dat; empty when the file holds no single record.
    static std::vector<int32_t> FileRecord()
    {
        const std::string users = LumoTest::ReadFile(DataFile("users.dat"));
        if (users.size() != size_t(CUserProfile::kRecordSize))
            return {};
        std::vector<int32_t> saved(CUserProfile::kProgressACount);
        std::memcpy(saved.data(), users.data() + CUserProfile::kNameSize, saved.size() * sizeof(int32_t));
        return saved;
    }

    bool Seen(const MousePlayer& player, int32_t window) const
    {
        const std::vector<int32_t>& seen = player.WindowsSeen();
        return std::find(seen.begin(), seen.end(), window) != seen.end();
    }


    // Plays, once loaded and no click's window still fading, until act says the test is done.
    void Run(const std::function<bool()>& act)
    {
        ScriptedGame& game = *mGame;
        game.mScript = [&](int update) {
            mUpdate = update;
            if (update == kGiveUpAt) {
                ADD_FAILURE() << "gave up: " << Mouse().Sight();
                game.RequestShutdown();
            }
            if (game.LoadingStateNow() != CGameApp::kLoadHandled || update < mWaitUntil)
                return;
            if (act())
                game.RequestShutdown();
        };
        game.Run();
        EXPECT_TRUE(game.mFatalErrors.empty()) << testing::PrintToString(game.mFatalErrors);
    }

    // Clicks the command's button when its window shows; true when clicked.
    bool PressIn(int32_t window, int32_t command)
    {
        if (!Mouse().Showing(window))
            return false;
        Mouse().ClickButton(command);
        mWaitUntil = mUpdate + kAfterPress;
        return true;
    }

    // From the menu into the saved map game, up to its map.
    bool ToMap() { return PressIn(kMenu, Command::kMenuPlay) || PressIn(kGameContinue, Command::kContinueGame); }

    bool MapAtPosition()
    {
        return Mouse().Showing(kLevelMap) && mGame->LevelMap()->HighlightState() == CLevelMap::kAtPosition;
    }

    // From the menu through the saved map game's map to its level's "Get ready"; true while on the way.
    bool ToGetReady()
    {
        if (ToMap())
            return true;
        if (MapAtPosition()) {
            PressIn(kLevelMap, Command::kMapPlay);
            return true;
        }
        return !Mouse().Showing(kLevelStart);
    }

    int32_t mUpdate = 0;
    int32_t mWaitUntil = 0;
};

// The level map is no play: the window losing the focus while the first map
// of a game fades in, before it opens its own window, pauses nothing, and the
// map's window opens over it as ever.
TEST_F(ScreenLinksTest, LosingTheFocusAsTheFirstMapOpensOpensNoPauseWindow)
{
    StartAs(3);
    int32_t focusBackAt = -1;
    std::vector<int32_t> windows;
    Run([&] {
        const int32_t shown = Mouse().ShownWindow();
        if (shown >= 0 && (windows.empty() || windows.back() != shown))
            windows.push_back(shown);
        if (ToMap())
            return false;
        if (focusBackAt < 0 && mGame->LevelMap()->VisibilityState() == CLevelMap::kShowing &&
            !mGame->GuiController()->WindowOpened()) {
            Mouse().SetFocus(false);
            focusBackAt = mUpdate + 10;
        }
        if (mUpdate == focusBackAt)
            Mouse().SetFocus(true);
        return focusBackAt >= 0 && MapAtPosition();
    });

    EXPECT_GE(focusBackAt, 0);
    EXPECT_EQ(std::count(windows.begin(), windows.end(), kPauseScore), 0) << testing::PrintToString(windows);
    EXPECT_EQ(std::count(windows.begin(), windows.end(), kPauseBasic), 0) << testing::PrintToString(windows);
}

// Esc on "Get ready" starts the level, also when the map's button led there.
TEST_F(ScreenLinksTest, EscOnGetReadyFromTheMapStartsTheLevel)
{
    StartAs(3);
    int32_t escAt = -1;
    bool started = false;
    Run([&] {
        if (escAt < 0) {
            if (ToGetReady())
                return false;
            Mouse().PressKey(Platform::VK_ESCAPE);
            escAt = mUpdate;
        }
        started = escAt >= 0 && !mGame->GuiController()->WindowOpened() &&
                  mGame->LevelController()->State() == CLevelController::kPlaying;
        return started || (escAt >= 0 && mUpdate > escAt + 200);
    });

    EXPECT_GE(escAt, 0);
    EXPECT_TRUE(started);
}

// The Endless game's start window waits for its "Go": Esc there does nothing.
TEST_F(ScreenLinksTest, EscOnTheEndlessStartWindowDoesNothing)
{
    StartAs(0);
    int32_t escAt = -1;
    bool stillThere = false;
    Run([&] {
        if (escAt < 0) {
            if (PressIn(kMenu, Command::kMenuEndless) || !Mouse().Showing(kScoreStart))
                return false;
            Mouse().PressKey(Platform::VK_ESCAPE);
            escAt = mUpdate;
        }
        stillThere = Mouse().Showing(kScoreStart) &&
                     mGame->LevelController()->State() == CLevelController::kIntro;
        return !stillThere || mUpdate > escAt + 200;
    });

    EXPECT_GE(escAt, 0);
    EXPECT_TRUE(stillThere);
}

// The wheel scrolls the player list under the pointer, as well after a new
// player's name was typed into the edit box of another window.
TEST_F(ScreenLinksTest, TheWheelScrollsThePlayerListAlsoAfterANameWasTyped)
{
    StartAs(0, 0, {"Bo", "Cy", "Di", "Ed", "Flo", "Gus", "Hal"});
    // The first line shown before and after a notch down, on each visit of the list.
    std::vector<std::pair<int32_t, int32_t>> visits;
    int32_t wheeledAt = -1;
    Run([&] {
        if (PressIn(kMenu, Command::kMenuPlayers))
            return false;
        if (Mouse().Showing(kCreatePlayer2)) {
            Mouse().Type("Ivy");
            PressIn(kCreatePlayer2, Command::kNewPlayerOk);
            return false;
        }
        if (!Mouse().Showing(kPlayerList))
            return false;
        CGUIController& gui = *mGame->GuiController();
        const GUIWindow& window = *gui.Window(kPlayerList);
        const GUIListBox& list = *gui.ListBox(window.mFirstListBox);
        if (wheeledAt < 0) {
            const int32_t x = (mGame->GetWidth() - window.mWidth) / 2 + list.mRect.mX + list.mRect.mWidth / 2;
            const int32_t y = list.mRect.mY + list.mRect.mHeight / 2;
            mSession.Desktop().InjectMouseMove(mGame->mHWnd, x, y);
            mSession.Desktop().InjectWheel(mGame->mHWnd, -1, x, y);
            visits.emplace_back(list.mFirstVisible, -1);
            wheeledAt = mUpdate;
            return false;
        }
        if (mUpdate < wheeledAt + 5)
            return false;
        visits.back().second = list.mFirstVisible;
        wheeledAt = -1;
        if (visits.size() == 2)
            return true;
        PressIn(kPlayerList, Command::kPlayerListNew);
        return false;
    });

    ASSERT_EQ(visits.size(), 2u);
    for (const auto& [before, after] : visits)
        EXPECT_EQ(after, before + 1);
}

// The level that starts once the new map has brightened brings the ball back
// into sight, whatever the game before left it as.
TEST_F(ScreenLinksTest, TheLevelStartedAfterTheOverlayShowsTheBall)
{
    StartAs(0);
    bool hidden = false;
    int32_t hiddenAtStart = -1;
    Run([&] {
        if (PressIn(kMenu, Command::kMenuEndless))
            return false;
        const CBoardWidget& board = *mGame->Board();
        // The endless game's first map brightens from black once loaded; the
        // game lost before it left the ball out of sight.
        if (!hidden && board.OverlayOn() && !mGame->LevelController()->StageChanged()) {
            mGame->Ball()->SetHidden(true);
            hidden = true;
        }
        if (!hidden || board.OverlayOn())
            return false;
        hiddenAtStart = mGame->Ball()->Hidden();
        return true;
    });

    EXPECT_TRUE(hidden);
    EXPECT_EQ(hiddenAtStart, 0);
    EXPECT_EQ(mGame->LevelController()->State(), CLevelController::kIntro);
}

// Winning the map game's last level wins the whole game: its end is saved
// with the player's progress, and the first map, where play goes on, shows
// every cup.
TEST_F(ScreenLinksTest, WinningTheWholeMapGameUnlocksEveryCup)
{
    ScriptedGame& game = StartNearTheHappyEnd(0);
    MousePlayer player(game, Mouse(), "Ada", MousePlayer::kWin);
    int32_t cups = -1;
    Run([&] {
        if (Seen(player, kHappyEnd) && MapAtPosition()) {
            cups = mGame->LevelMap()->UnlockedCups();
            return true;
        }
        player.Update(mUpdate);
        return false;
    });

    EXPECT_EQ(cups, CLevelMap::kCups) << player.Report();
    EXPECT_EQ(mGame->LevelController()->CurrentPosition(), 0);
}

// The game closed at any moment after a won level keeps the level it leads
// to, begun afresh, and the whole map games won: after the graph's last level
// that is the graph's start with the game counted, also when the game is
// closed while that level's tally counts up. The next start continues there.
TEST_F(ScreenLinksTest, ClosingAfterAWonLevelSavesTheLevelItLeadsTo)
{
    enum class Close { kOnTally, kOnMap, kOnPhaseEnd, kOnHappyEnd, kInNextGame };
    struct Case {
        const char* mWhat;
        int32_t mWon;
        int32_t mGamesWon;
        Close mClose;
        int32_t mPosition;
        int32_t mResult;
    };
    const Case cases[] = {
        {"a level won, on its tally", 0, 0, Close::kOnTally, 1, 0},
        {"a level won, its map shown", 0, 0, Close::kOnMap, 1, 0},
        {"a map's last level won, on its tally", 9, 0, Close::kOnTally, 10, 0},
        {"a map's last level won, at the map's end", 9, 0, Close::kOnPhaseEnd, 10, 0},
        {"the whole map game won, on its last level's tally", kLastPosition, 0, Close::kOnTally, 0, 1},
        {"the whole map game won again, on its last level's tally", kLastPosition, 4, Close::kOnTally, 0, 5},
        {"the whole map game won, at its end", kLastPosition, 0, Close::kOnHappyEnd, 0, 1},
        {"the whole map game won, the next one begun", kLastPosition, 0, Close::kInNextGame, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mWhat);
        std::filesystem::remove(DataFile("users.dat"));
        ScriptedGame& game = StartNearTheEndOf(c.mWon, c.mGamesWon);
        MousePlayer player(game, Mouse(), "Ada", MousePlayer::kWin);
        const LevelRecord* next = nullptr;
        int32_t countedAtClose = -1;
        Run([&] {
            const CLevelController& levels = *mGame->LevelController();
            bool closing = false;
            switch (c.mClose) {
            case Close::kOnTally:
                closing = Mouse().Showing(kLevelEndClassic);
                break;
            case Close::kOnMap:
                closing = Seen(player, kLevelEndClassic) && MapAtPosition();
                break;
            case Close::kOnPhaseEnd:
                closing = Mouse().Showing(kPhaseEnd);
                break;
            case Close::kOnHappyEnd:
                closing = Mouse().Showing(kHappyEnd);
                break;
            case Close::kInNextGame:
                closing = Seen(player, kHappyEnd) && levels.State() == CLevelController::kPlaying;
                break;
            }
            if (closing) {
                const int32_t level = mGame->LevelGraphs()->GetEntryLevel(levels.CurrentGraph(), c.mPosition);
                next = &levels.Table().Level(level);
                countedAtClose = levels.GraphsCompleted();
                return true;
            }
            player.Update(mUpdate);
            return false;
        });
        ASSERT_NE(next, nullptr) << player.Report();
        if (c.mClose == Close::kOnTally) {
            EXPECT_EQ(countedAtClose, c.mGamesWon) << "closed after the tally's end";
        }
        const LevelRecord expected = *next;
        mGame.reset();

        const std::vector<int32_t> saved = FileRecord();
        ASSERT_EQ(saved.size(), size_t(CUserProfile::kProgressACount));
        EXPECT_EQ(saved[kSavedPosition], c.mPosition);
        EXPECT_EQ(saved[kSavedPoints], expected.mStartPoints);
        EXPECT_EQ(saved[kSavedProgress], 0);
        EXPECT_EQ(saved[kResultValue], c.mResult);
        EXPECT_EQ(saved[kSavedEnergy], expected.StartEnergy());

        // The next start: Continue leads to that level's map with the games won.
        Start(std::make_unique<ScriptedGame>());
        int32_t position = -1, gamesWon = -1, cups = -1;
        Run([&] {
            if (ToMap() || !MapAtPosition())
                return false;
            position = mGame->LevelController()->CurrentPosition();
            gamesWon = mGame->LevelController()->GraphsCompleted();
            cups = mGame->LevelMap()->UnlockedCups();
            return true;
        });
        EXPECT_EQ(position, c.mPosition);
        EXPECT_EQ(gamesWon, c.mResult);
        if (c.mResult > 0) {
            EXPECT_EQ(cups, CLevelMap::kCups);
        }
        mGame.reset();
    }
}

// Every whole map game won raises the player's rank, on to the top ranks,
// and however many a player has won, the game saved is the level in play:
// the level started after the whole game is saved at its own position with
// its own points.
TEST_F(ScreenLinksTest, WholeMapGamesWonRaiseTheRankToTheTop)
{
    struct Case {
        int32_t mGamesWon;
        const char* mRank;
    };
    for (const Case& c : {Case{3, "Legend"}, Case{4, "Zen"}}) {
        SCOPED_TRACE(c.mRank);
        std::filesystem::remove(DataFile("users.dat"));
        ScriptedGame& game = StartNearTheHappyEnd(c.mGamesWon);
        MousePlayer player(game, Mouse(), "Ada", MousePlayer::kWin);
        int32_t saved[CUserProfile::kProgressACount] = {};
        int32_t points = -1, score = -1;
        std::string rank;
        Run([&] {
            const CLevelController& levels = *mGame->LevelController();
            if (points < 0) {
                if (!Seen(player, kHappyEnd) || levels.State() != CLevelController::kPlaying) {
                    player.Update(mUpdate);
                    return false;
                }
                const CUserProfile& record = mGame->Profiles()->Record(0);
                std::copy(std::begin(record.progressA), std::end(record.progressA), saved);
                points = levels.LevelPoints();
                score = levels.Score();
                Mouse().PressKey(Platform::VK_ESCAPE);
                return false;
            }
            if (!Mouse().Showing(kPauseBasic))
                return false;
            rank = GroupCaption(kPauseRankSlot);
            return true;
        });

        ASSERT_GE(points, 0) << player.Report();
        EXPECT_EQ(mGame->LevelController()->CurrentPosition(), 0);
        EXPECT_EQ(saved[kSavedPosition], 0);
        EXPECT_EQ(saved[kSavedPoints], points);
        EXPECT_EQ(saved[kSavedScore], score);
        EXPECT_EQ(saved[kResultValue], c.mGamesWon + 1);
        EXPECT_EQ(rank, c.mRank);
        mGame.reset();
    }
}

// A saved game goes on at its own level whatever count of whole map games
// won it carries, the count an earlier build read as "save the level that
// follows" included.
TEST_F(ScreenLinksTest, ASavedGameStaysAtItsLevelWhateverTheGamesWon)
{
    constexpr int32_t kPosition = 5;
    for (const int32_t gamesWon : {4, 5}) {
        SCOPED_TRACE(gamesWon);
        std::filesystem::remove(DataFile("users.dat"));
        StartAs(kPosition, 0, {}, gamesWon);
        bool started = false;
        Run([&] {
            if (!started) {
                if (!ToGetReady())
                    started = PressIn(kLevelStart, Command::kLevelStartGo);
                return false;
            }
            return mGame->LevelController()->State() == CLevelController::kPlaying;
        });
        ASSERT_TRUE(started);
        mGame.reset();

        const std::vector<int32_t> saved = FileRecord();
        ASSERT_EQ(saved.size(), size_t(CUserProfile::kProgressACount));
        EXPECT_EQ(saved[kSavedPosition], kPosition);
        EXPECT_EQ(saved[kSavedProgress], 0);
        EXPECT_EQ(saved[kResultValue], gamesWon);
    }
}

// A row of the hiscore tables holds the name and, under it, the player's
// rank: the bar that marks a new entry covers both, and no part of the rows
// around it.
TEST_F(ScreenLinksTest, AHiscoreRowKeepsItsRankInsideItsBar)
{
    StartAs(0);
    Run([this] { return Mouse().Showing(kMenu); });

    const CGameConfig::HiscoreLayout& layout = CGameConfig::hiscoreLayout;
    const int32_t barTop = layout.digitOffset.y + layout.highlightRect.mY;
    const int32_t barBottom = barTop + layout.highlightRect.mHeight;
    EXPECT_LE(barBottom, barTop + layout.rowSpacing);
    struct Line {
        const char* mWhat;
        int32_t mFont;
        int32_t mBaseline;
    };
    for (const Line& line : {Line{"name", layout.entryFont, layout.textOffset.y},
                             Line{"rank", layout.rankFont, layout.rankOffset.y}}) {
        SCOPED_TRACE(line.mWhat);
        Lumo::Font& font = *CGameConfig::FontAt(line.mFont);
        EXPECT_GE(line.mBaseline - font.GetAscent(), barTop);
        EXPECT_LE(line.mBaseline + font.GetDescent(), barBottom);
    }
    EXPECT_GE(layout.rankOffset.y - CGameConfig::FontAt(layout.rankFont)->GetAscent(), layout.textOffset.y);
}

// The hiscore table after a game is left by its button at the foot; the
// table opened from the menu has its Reset elsewhere, so that a player who
// clicks where that button was is not asked to clear the tables.
TEST_F(ScreenLinksTest, TheHiscoreTablesResetStandsApartFromTheirWayOut)
{
    StartAs(0);
    Run([this] { return Mouse().Showing(kMenu); });

    CGUIController& gui = *mGame->GuiController();
    // A button's rectangle on the screen: windows stand in the middle of its width.
    const auto onScreen = [&](int32_t window, int32_t command) {
        Lumo::Rect rect = gui.Button(command)->mRect;
        rect.mX += (mGame->GetWidth() - gui.Window(window)->mWidth) / 2;
        return rect;
    };
    const Lumo::Rect reset = onScreen(kHiscoreShow, Command::kHiscoreReset);
    for (const auto& [window, command] : {std::pair{kHiscoreHit, Command::kHiscoreHitOk},
                                          std::pair{kHiscoreShowGameover, Command::kHiscoreGameoverMenu}}) {
        SCOPED_TRACE(window);
        const Lumo::Rect out = onScreen(window, command);
        const bool apart = out.mX + out.mWidth <= reset.mX || reset.mX + reset.mWidth <= out.mX ||
                           out.mY + out.mHeight <= reset.mY || reset.mY + reset.mHeight <= out.mY;
        EXPECT_TRUE(apart);
    }
}

// "Get ready" on a crazy level shows the colour every block must turn to:
// the block of the level's last colour.
TEST_F(ScreenLinksTest, GetReadyOnACrazyLevelShowsItsColour)
{
    StartAs(kCrazyPosition);
    std::vector<int32_t> pictures;
    int32_t crazyBlock = -1;
    Run([&] {
        if (ToGetReady())
            return false;
        CGUIController& gui = *mGame->GuiController();
        const GUIWindow& window = *gui.Window(kLevelStart);
        for (int32_t i = window.mFirstInfoLabel; i < window.mEndLabel; ++i) {
            if (!gui.Label(i)->IsGroup())
                continue;
            const auto [first, end] = gui.LabelGroup(gui.Label(i)->mHalfWidthOrGroup);
            for (int32_t member = first; member < end; ++member) {
                if (gui.Label(member)->Has(GUILabel::kImage))
                    pictures.push_back(gui.Label(member)->mFontOrImage);
            }
        }
        const CGameField& field = *mGame->Field();
        const int32_t crazy = field.Grid().Parameters().mBlockTypes - 1;
        for (int32_t cell = 0; cell < field.CellCount() && crazyBlock < 0; ++cell) {
            const CFieldBlock* block = field.Record(cell).mBlock;
            if (block != nullptr && CCellGrid::ColourOf(field.Grid().Cell(cell)) == crazy)
                crazyBlock = field.ColourSprite(*block);
        }
        return true;
    });

    EXPECT_EQ(mGame->LevelController()->LevelKind(), CLevelController::kCrazyKind);
    EXPECT_GE(crazyBlock, 0);
    EXPECT_THAT(pictures, testing::Contains(crazyBlock));
}

} // namespace
} // namespace AppTest
