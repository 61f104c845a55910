#include "game/board/field/CCellGrid.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "platform/windows/VirtualKeys.h"
#include "tests/app/GamePlayer.h"
#include "tests/app/SavedGameTest.h"
#include "tests/app/WindowCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// The map game's third position, "Grey Rising", and its ninth, "Stone Steps",
// a puzzle whose field's first cell lies in a group of three 1s down its
// first column.
constexpr int32_t kGreyRising = 2;
constexpr int32_t kStoneSteps = 8;
using Cell = std::array<int32_t, 2>;
// The group of four 1s on the right; its take leaves the first column as it is.
constexpr Cell kRightGroup = {6, 1};
// A large group of 2s that the first take leaves.
constexpr Cell kLargeGroup = {1, 1};
// Under the first cell, in its group of three.
constexpr Cell kBelowFirst = {0, 1};
// The first cell's group of three: the 2s that rise under the resting ball
// after it are taken too.
constexpr Cell kChainsOnce = {0, 0};
// A group of three 2s that the chain leaves.
constexpr Cell kAfterTheChain = {2, 1};
// On "Grey Rising": a group of 0s whose take lets two more groups rise
// under the ball one after the other, and a group of 2s apart from them.
constexpr Cell kChainsTwice = {2, 1};
constexpr Cell kApart = {4, 0};
// The map game's last puzzle, "Quarry": its first cell in a group of three
// too, and a column of four 2s on the right.
constexpr int32_t kQuarry = 18;
constexpr Cell kQuarryRight = {7, 0};

// A click and the field steps it makes: one for its landing's take, one
// more for each group that rises under the resting ball and is taken.
struct Move {
    Cell mAt;
    size_t mSteps = 1;
};

// What an undo must give back: every cell's colour, the score and the goal.
struct Kept {
    std::vector<int32_t> mColours;
    int32_t mScore = 0;
    int32_t mLevelPoints = 0;
    // The goal bar, as the HUD shows it.
    int32_t mGoal = 0;

    bool operator==(const Kept&) const = default;
    friend void PrintTo(const Kept& kept, std::ostream* out)
    {
        *out << "score " << kept.mScore << ", level points " << kept.mLevelPoints << ", goal " << kept.mGoal
             << ", colours " << testing::PrintToString(kept.mColours);
    }
};

// A puzzle played by mouse at a person's pace, with the HUD's undo button.
class PuzzleUndoTest : public SavedGameTest {
protected:
    Kept Now() const
    {
        const CLevelController& levels = *mGame->LevelController();
        return {Colours(), levels.Score(), levels.LevelPoints(), mGame->Panel()->Completion()};
    }

    static size_t Runs() { return CCellRuns::Current()->Runs().size(); }

    bool AtRest() { return FieldTakesClick() && !mGame->Panel()->UndoBusy(); }

    // Once the field has been at rest, the undo button free and the steps
    // recorded, for a person's reaction: the act, a click.
    Step Seen(const std::string& what, std::function<void()> act, size_t steps = 0)
    {
        return {what,
                [this, steps, since = -1]() mutable {
                    const bool rest = AtRest() && Runs() >= steps;
                    since = !rest ? -1 : since < 0 ? mUpdate : since;
                    return rest && mUpdate >= since + kPersonReaction;
                },
                std::move(act)};
    }

    // The Endless game begins with the level ("Stone Steps", mode 2).
    void ShipEndlessStartingWith(const std::string& level)
    {
        std::string graphs = ShippedFile("res\\levelgraphs.xml");
        const size_t first = graphs.find("<level ", graphs.find("<graph", graphs.find("</graph>")));
        ASSERT_NE(first, std::string::npos);
        graphs.replace(first, graphs.find("/>", first) + 2 - first, level);
        ShipWith("res\\levelgraphs.xml", graphs);
    }
    void ShipEndlessStoneSteps() { ShipEndlessStartingWith(R"(<level name="Stone Steps" mode_desc_id="2" bonus="50"/>)"); }

    // A click, then once its steps are seen, the undo; the field at rest again.
    std::vector<Step> ClickAndUndo(Move move)
    {
        return {Seen("a click", [this, at = move.mAt] { Take(at); }),
                Seen("the undo", [this] { ClickUndo(); }, move.mSteps), Seen("the undo's end", [] {})};
    }

    // How often the colour of the block under the ball changes in eight of
    // its bounce periods, once the crazy level's blocks have spun.
    Step CountTurns(int32_t* turns)
    {
        return {"the ball bouncing",
                [this, turns, colour = -1, since = -1]() mutable {
                    const CGameField& field = *mGame->Field();
                    if (since < 0) {
                        for (int32_t cell = 0; cell < field.CellCount(); ++cell)
                            if (const CFieldBlock* block = field.Record(cell).mBlock; block && block->mSpinFlag != 0)
                                return false;
                        since = mUpdate;
                    }
                    const CBoardWidget& board = *mGame->Board();
                    const int32_t now = CCellGrid::ColourOf(field.Grid().Cell(board.TargetColumn(), board.TargetRow()));
                    *turns += colour >= 0 && now != colour;
                    colour = now;
                    return mUpdate >= since + 8 * int32_t(mGame->Ball()->Times().mPeriod);
                },
                [] {}, 0};
    }

    // The cell clicked, as the field shows it taking a group.
    void Take(Cell at) { ClickTaking({at[0], at[1]}); }
};

// The undo takes back the player's clicks, one a press, and nothing else: a
// click whose resting ball took the groups that rose under it after its
// landing's, with all of them; the ball it sets on the first cell bounces
// there, on a group of three, and takes it not, however long the player
// waits. One click undone and two in a row, chained or not, an undo pressed
// while the click's blocks still move, on the map game's last puzzle too,
// and in the Endless game.
TEST_F(PuzzleUndoTest, TheUndoTakesBackTheClicksAndNothingElse)
{
    struct Case {
        const char* mWhat;
        bool mEndless;
        int32_t mPosition;
        std::vector<Move> mMoves;
        // The first undo pressed as soon as the blocks move, not once they rest.
        bool mHasty = false;
    };
    const std::vector<Case> cases = {
        {"one click", false, kStoneSteps, {{kRightGroup}}},
        {"two clicks", false, kStoneSteps, {{kRightGroup}, {kLargeGroup}}},
        {"an undo while the blocks move", false, kStoneSteps, {{kRightGroup}}, true},
        {"a chained click", false, kStoneSteps, {{kChainsOnce, 2}}},
        {"a click of three steps", false, kGreyRising, {{kChainsTwice, 3}}},
        {"a chained click, then a plain one", false, kStoneSteps, {{kChainsOnce, 2}, {kAfterTheChain}}},
        {"a plain click, then a chained one", false, kGreyRising, {{kApart}, {kChainsTwice, 3}}},
        {"the last puzzle", false, kQuarry, {{kQuarryRight}}},
        {"the endless game", true, 0, {{kRightGroup}}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.mWhat);
        const std::vector<Move>& moves = row.mMoves;
        if (row.mEndless)
            ShipEndlessStoneSteps();
        StartWith(row.mEndless ? SavedEndlessGame(row.mPosition) : SavedMapGame(row.mPosition));
        // Before each click, and after each undo.
        std::vector<Kept> before, undone;
        Kept later;
        size_t runs = 0;
        size_t steps = 0;
        int32_t firstGroup = 0;
        std::vector<Step> play = row.mEndless ? ToEndlessGame() : ToMapGame();
        for (const Move& move : moves) {
            play.push_back(Seen(
                "a click",
                [&, at = move.mAt] {
                    before.push_back(Now());
                    Take(at);
                },
                steps));
            steps += move.mSteps;
        }
        const auto firstUndo = [&] {
            runs = Runs();
            ClickUndo();
        };
        if (row.mHasty)
            play.push_back({"the blocks moving", [this] { return mGame->Processor()->PendingBlockMoves() > 0; },
                            firstUndo});
        else
            play.push_back(Seen("the first undo", firstUndo, steps));
        for (size_t k = 1; k < moves.size(); ++k)
            play.push_back(Seen("an undo", [&] {
                undone.push_back(Now());
                ClickUndo();
            }));
        play.push_back({"the undo's end", [this] { return AtRest(); },
                        [&] {
                            undone.push_back(Now());
                            const CCellGrid& grid = mGame->Field()->Grid();
                            firstGroup = grid.Group(CCellGrid::GroupOf(grid.Cell(0))).Count();
                        },
                        0});
        // The resting ball lands once a period.
        play.push_back({"the ball bouncing a while",
                        [this] { return mUpdate >= mStepSince + 5 * int32_t(mGame->Ball()->Times().mPeriod); },
                        [&] { later = Now(); }, 0});
        Play(play);

        EXPECT_EQ(runs, steps);
        // The group the set-down ball bounces on ("Grey Rising" has none there).
        if (row.mPosition != kGreyRising) {
            EXPECT_EQ(firstGroup, 3);
        }
        ASSERT_EQ(undone.size(), moves.size());
        for (size_t k = 0; k < moves.size(); ++k)
            EXPECT_EQ(undone[k], before[moves.size() - 1 - k]) << "undo " << k + 1;
        EXPECT_EQ(later, before.front());
        EXPECT_EQ(Runs(), 0u);
        mGame.reset();
    }
}

// The player's first jump after the undo plays again: onto the group the
// ball bounces on, or the move taken back once more, which leaves the field
// as the first time.
TEST_F(PuzzleUndoTest, TheFirstJumpAfterTheUndoTakesItsGroup)
{
    struct Case {
        const char* mWhat;
        Cell mJump;
        int32_t mTaken;
    };
    const Case cases[] = {{"the group under the ball", kBelowFirst, 3}, {"the move taken back", kRightGroup, 4}};
    for (const Case& row : cases) {
        SCOPED_TRACE(row.mWhat);
        StartWith(SavedMapGame(kStoneSteps));
        Kept before, stepped, jumped;
        int32_t taken = 0;
        std::vector<Step> steps = ToMapGame();
        steps.push_back(Seen("the move", [&] {
            before = Now();
            Take(kRightGroup);
        }));
        steps.push_back(Seen("the undo", [&] {
            stepped = Now();
            ClickUndo();
        }));
        steps.push_back(Seen("the jump", [&] {
            taken = Mouse().GroupTaken(row.mJump[1] * mGame->Field()->Width() + row.mJump[0]);
            Mouse().ClickCell(row.mJump[0], row.mJump[1]);
        }));
        steps.push_back({"its step settled", [this] { return AtRest(); }, [&] { jumped = Now(); }, 0});
        Play(steps);

        EXPECT_EQ(taken, row.mTaken);
        EXPECT_EQ(Runs(), 1u);
        EXPECT_NE(jumped.mColours, before.mColours);
        if (row.mJump == kRightGroup) {
            EXPECT_EQ(jumped, stepped);
        }
        mGame.reset();
    }
}

// A level begun after one where a click was undone starts as any level
// does: a crazy level's resting ball turns the block it bounces on, as it
// does when the level comes straight from the menu. The undo's level left
// for the menu, at rest or while the undo still runs; a new game begun
// after it; and the level won after the undo.
TEST_F(PuzzleUndoTest, TheUndoEndsWithItsLevel)
{
    ShipEndlessStartingWith(R"(<level name="Colour Storm" mode_desc_id="3" bonus="50"/>)");
    const std::vector<Step> leave = LeaveToMenu(kPauseBasic, Command::kPauseBasicLeave);
    const std::vector<Step> newEndlessGame = {Press(kMenu, Command::kMenuEndless),
                                              Press(kGameContinue, Command::kNewGame),
                                              Press(kGameRestartScore, Command::kNewGameYes),
                                              Press(kScoreStart, Command::kScoreStartGo), Ready()};
    std::vector<Step> undoRunning = ClickAndUndo({kRightGroup});
    undoRunning.pop_back();
    undoRunning.back().mPause = 0;
    undoRunning.insert(undoRunning.end(),
                       {{"the undo running", [this] { return mGame->Processor()->UndoTimer() != nullptr; },
                         [this] { Mouse().PressKey(Platform::VK_ESCAPE); }},
                        Press(kPauseBasic, Command::kPauseBasicLeave), Press(kMenuConfirm, Command::kLeaveConfirmed)});
    // "Grey Rising" solved in four clicks after the undo, then on over the
    // map to the crazy level that follows it.
    std::vector<Step> won = ClickAndUndo({kApart});
    size_t steps = 0;
    for (const Move& move : std::vector<Move>{{{3, 1}, 2}, {{2, 0}, 2}, {{6, 1}, 2}, {{4, 0}, 1}}) {
        won.push_back(Seen("a click", [this, at = move.mAt] { Take(at); }, steps));
        steps += move.mSteps;
    }
    won.insert(won.end(), {Press(kLevelEndPuzzle, OnwardCommand(kLevelEndPuzzle)),
                           {"the map at the next position",
                            [this] {
                                return Showing(kLevelMap) &&
                                       mGame->LevelMap()->HighlightState() == CLevelMap::kAtPosition;
                            },
                            [this] { Mouse().ClickButton(Command::kMapPlay); }},
                           Press(kLevelStart, Command::kLevelStartGo), Ready()});

    struct Case {
        const char* mWhat;
        int32_t mPuzzle;
        std::vector<std::vector<Step>> mSteps;
    };
    const std::vector<Case> cases = {
        {"from the menu", kStoneSteps, {ToEndlessGame()}},
        {"the undo's level left", kStoneSteps, {ToMapGame(), ClickAndUndo({kRightGroup}), leave, ToEndlessGame()}},
        {"left while the undo runs", kStoneSteps, {ToMapGame(), undoRunning, ToEndlessGame()}},
        {"a new game after it", kStoneSteps, {ToMapGame(), ClickAndUndo({kRightGroup}), leave, newEndlessGame}},
        {"the undo's level won", kGreyRising, {ToMapGame(), won}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.mWhat);
        CUserProfile saved = SavedMapGame(row.mPuzzle);
        const CUserProfile endless = SavedEndlessGame(0);
        std::copy(std::begin(endless.progressB), std::end(endless.progressB), saved.progressB);
        StartWith(saved);
        int32_t turns = 0;
        int32_t undos = -1;
        std::vector<Step> play;
        for (const std::vector<Step>& part : row.mSteps)
            play.insert(play.end(), part.begin(), part.end());
        play.push_back(CountTurns(&turns));
        play.push_back({"the count", [] { return true; }, [&] { undos = ProcessesOfKind(kProcessUndo); }, 0});
        Play(play);

        EXPECT_EQ(mGame->LevelController()->LevelKind(), CLevelController::kCrazyKind);
        EXPECT_GT(turns, 2) << turns;
        EXPECT_EQ(undos, 0);
        mGame.reset();
    }
}

} // namespace
} // namespace AppTest
