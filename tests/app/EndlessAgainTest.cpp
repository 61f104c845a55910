#include "game/board/field/CCellGrid.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/data/players/CHiscoreTable.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/windows/VirtualKeys.h"
#include "tests/app/MousePlayer.h"
#include "tests/app/ShippedGameTest.h"
#include "tests/app/WindowCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

namespace AppTest {
namespace {

using namespace GUIWindowId;

class EndlessAgainTest : public ShippedGameTest {};

constexpr int32_t kGiveUpAt = 40000;
// Windows fade out after a click; the next look comes after that.
constexpr int32_t kAfterPress = 20;
// The game draws one update in twenty.
constexpr int32_t kDrawnEvery = 20;

// How a person's first game ends and leads back to the menu.
enum class Ending {
    // Lost, the score below the hiscores: "Hiscores", then "Menu".
    kLost,
    // Lost with a new hiscore: "Show", then "OK".
    kLostWithHiscore,
    // Esc, "Leave" and "Yes" in the midst of a level.
    kLeft,
};
// What the person starts from the menu next.
enum class Next { kEndless, kEndlessNewGame, kEndlessContinue, kMapGame };

struct TwoGames {
    const char* mName;
    bool mFirstEndless;
    Ending mEnding;
    Next mNext;
};

// Whether most of the frame on the desktop is more than black.
bool FrameLit(Platform::HeadlessBackend& desktop, Platform::HWND window)
{
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> frame = desktop.Frame(window, &width, &height);
    const auto lit = std::count_if(frame.begin(), frame.end(), [](uint32_t pixel) { return (pixel & 0xFFFFFF) != 0; });
    return !frame.empty() && size_t(lit) * 2 > frame.size();
}


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

// A person plays a game from the menu, ends it one way or another, and starts
// the next from the menu: that one is shown and takes the person's clicks, as
// the first did, whatever the two games and the way between them.
TEST_F(EndlessAgainTest, TheNextGameFromTheMenuIsShownAndPlaysWhateverEndedTheLast)
{
    const TwoGames cases[] = {
        {"endless lost, then endless", true, Ending::kLost, Next::kEndless},
        {"endless lost with a hiscore, then endless", true, Ending::kLostWithHiscore, Next::kEndless},
        {"endless left, then a new endless game", true, Ending::kLeft, Next::kEndlessNewGame},
        {"endless left, then continued", true, Ending::kLeft, Next::kEndlessContinue},
        {"endless lost, then the map game", true, Ending::kLost, Next::kMapGame},
        {"map game left, then endless", false, Ending::kLeft, Next::kEndless},
    };
    for (const TwoGames& c : cases) {
        SCOPED_TRACE(c.mName);
        for (const char* file : {"users.dat", "scores.dat"})
            std::filesystem::remove(DataFile(file));
        auto made = std::make_unique<ScriptedGame>();
        made->Profiles()->Add("Ada");
        made->Profiles()->SelectByName("Ada");
        ScriptedGame& game = Start(std::move(made));
        GameMouse mouse = Mouse();
        std::unique_ptr<MousePlayer> player;
        int32_t games = 0;
        bool firstOver = false;
        bool leaving = false;
        int32_t leftAt = -1;
        int32_t startPosition = -1;
        int32_t startScore = -1;
        bool tableFilled = false;
        int32_t gameOver = -1;
        bool secondStarted = false;
        bool played = false;
        bool shown = false;
        int32_t waitUntil = 0;
        game.mScript = [&](int update) {
            if (update == kGiveUpAt) {
                ADD_FAILURE() << (player ? player->Report() : mouse.Sight());
                game.RequestShutdown();
            }
            if (game.LoadingStateNow() != CGameApp::kLoadHandled || update < waitUntil)
                return;
            if (!tableFilled && c.mEnding == Ending::kLost) {
                // Better scores than a lost first game makes.
                for (int32_t rank = 0; rank < CHiscoreTable::kEntryCount; ++rank)
                    game.Hiscores()->Insert("Bob", 1'000'000 - rank);
            }
            tableFilled = true;
            const auto press = [&](int32_t command) {
                if (mouse.PressButton(command))
                    waitUntil = update + kAfterPress;
            };
            const CLevelController& levels = *game.LevelController();
            const int32_t window = mouse.ShownWindow();
            switch (window) {
            case kMenu:
                if (games == 0 || (games == 1 && firstOver)) {
                    const bool endless = games == 0 ? c.mFirstEndless : c.mNext != Next::kMapGame;
                    press(endless ? Command::kMenuEndless : Command::kMenuPlay);
                    ++games;
                    const bool lose = games == 1 && c.mEnding != Ending::kLeft;
                    player = std::make_unique<MousePlayer>(game, mouse, "Ada",
                                                           lose ? MousePlayer::kLose : MousePlayer::kWin);
                    player->SetReaction(kPersonReaction);
                }
                return;
            case kGameContinue:
                press(c.mNext == Next::kEndlessNewGame ? Command::kNewGame : Command::kContinueGame);
                return;
            case kGameRestartScore:
                press(Command::kNewGameYes);
                return;
            case kPauseScore:
            case kPauseBasic:
                if (leaving)
                    press(window == kPauseScore ? Command::kPauseScoreLeave : Command::kPauseBasicLeave);
                return;
            case kMenuConfirm:
                if (leaving) {
                    press(Command::kLeaveConfirmed);
                    leaving = false;
                    firstOver = true;
                }
                return;
            case kScoreGameover:
            case kScoreGameoverHiscore:
                if (games == 1 && !firstOver)
                    gameOver = window;
                firstOver = games == 1;
                break;
            default:
                break;
            }
            if (games == 1 && c.mEnding == Ending::kLeft && !firstOver && !leaving && window < 0 &&
                levels.Score() > 0 && mouse.FieldAtRest()) {
                leftAt = levels.CurrentPosition();
                mouse.PressKey(Platform::VK_ESCAPE);
                leaving = true;
                waitUntil = update + kAfterPress;
                return;
            }
            secondStarted = secondStarted || (games == 2 && (window == kScoreStart || window == kLevelStart));
            if (secondStarted && window < 0 && levels.State() == CLevelController::kPlaying) {
                if (startScore < 0) {
                    startPosition = levels.CurrentPosition();
                    startScore = levels.Score();
                }
                // What the person sees once a click has scored, the first frame drawn after.
                if (played && update % kDrawnEvery == 1) {
                    shown = FrameLit(mSession.Desktop(), game.mHWnd);
                    game.RequestShutdown();
                    return;
                }
                played = levels.Score() > startScore;
            }
            if (player)
                player->Update(update);
        };
        game.Run();

        EXPECT_TRUE(game.mFatalErrors.empty());
        EXPECT_TRUE(firstOver);
        const int32_t expectedOver = c.mEnding == Ending::kLost            ? kScoreGameover
                                     : c.mEnding == Ending::kLostWithHiscore ? kScoreGameoverHiscore
                                                                             : -1;
        EXPECT_EQ(gameOver, expectedOver);
        EXPECT_EQ(games, 2);
        EXPECT_TRUE(played) << "the second game takes no group";
        EXPECT_TRUE(shown) << "the second game is black";
        if (c.mNext == Next::kEndlessContinue) {
            EXPECT_EQ(startPosition, leftAt);
        } else {
            EXPECT_EQ(startPosition, 0);
            EXPECT_EQ(startScore, 0);
        }
        mGame.reset();
    }
}

} // namespace
} // namespace AppTest
