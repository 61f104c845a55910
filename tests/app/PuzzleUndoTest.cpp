#include "game/board/field/CCellGrid.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/screens/play/CGamePanel.h"
#include "tests/app/GamePlayer.h"
#include "tests/app/SavedGameTest.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace AppTest {
namespace {

// The map game's ninth position, "Stone Steps", a puzzle whose field's first
// cell lies in a group of three 1s down its first column.
constexpr int32_t kStoneSteps = 8;
using Cell = std::array<int32_t, 2>;
// The group of four 1s on the right; its take leaves the first column as it is.
constexpr Cell kRightGroup = {6, 1};
// A large group of 2s that the first take leaves.
constexpr Cell kLargeGroup = {1, 1};
// Under the first cell, in its group of three.
constexpr Cell kBelowFirst = {0, 1};
// The map game's last puzzle, "Quarry": its first cell in a group of three
// too, and a column of four 2s on the right.
constexpr int32_t kQuarry = 18;
constexpr Cell kQuarryRight = {7, 0};

// What an undo must give back: every cell's colour and the score.
struct Kept {
    std::vector<int32_t> mColours;
    int32_t mScore = 0;
    int32_t mLevelPoints = 0;

    bool operator==(const Kept&) const = default;
    friend void PrintTo(const Kept& kept, std::ostream* out)
    {
        *out << "score " << kept.mScore << ", level points " << kept.mLevelPoints << ", colours "
             << testing::PrintToString(kept.mColours);
    }
};

// A puzzle played by mouse at a person's pace, with the HUD's undo button.
class PuzzleUndoTest : public SavedGameTest {
protected:
    Kept Now() const
    {
        const CLevelController& levels = *mGame->LevelController();
        return {Colours(), levels.Score(), levels.LevelPoints()};
    }

    static size_t Runs() { return CCellRuns::Current()->Runs().size(); }

    bool AtRest() { return FieldTakesClick() && !mGame->Panel()->UndoBusy(); }

    // Once the field has been at rest, the undo button free, for a person's reaction: the act, a click.
    Step Seen(const std::string& what, std::function<void()> act)
    {
        return {what,
                [this, since = -1]() mutable {
                    const bool rest = AtRest();
                    since = !rest ? -1 : since < 0 ? mUpdate : since;
                    return rest && mUpdate >= since + kPersonReaction;
                },
                std::move(act)};
    }

    // The Endless game begins with "Stone Steps".
    void ShipEndlessStoneSteps()
    {
        std::string graphs = ShippedFile("res\\levelgraphs.xml");
        const size_t first = graphs.find("<level ", graphs.find("<graph", graphs.find("</graph>")));
        ASSERT_NE(first, std::string::npos);
        graphs.replace(first, graphs.find("/>", first) + 2 - first,
                       R"(<level name="Stone Steps" mode_desc_id="2" bonus="50"/>)");
        ShipWith("res\\levelgraphs.xml", graphs);
    }

    // The cell clicked, as the field shows it taking a group.
    void Take(Cell at) { ClickTaking({at[0], at[1]}); }
};

// The undo takes back the player's moves and nothing else: the ball it sets
// on the first cell bounces there, on a group of three, and takes it not,
// however long the player waits. One move undone and two in a row, an undo
// pressed while the move's blocks still move, on the map game's last puzzle
// too, and in the Endless game.
TEST_F(PuzzleUndoTest, TheUndoTakesBackTheMovesAndNothingElse)
{
    struct Case {
        const char* mWhat;
        bool mEndless;
        int32_t mPosition;
        std::vector<Cell> mMoves;
        // The first undo pressed as soon as the blocks move, not once they rest.
        bool mHasty = false;
    };
    const std::vector<Case> cases = {
        {"one move", false, kStoneSteps, {kRightGroup}},
        {"two moves", false, kStoneSteps, {kRightGroup, kLargeGroup}},
        {"an undo while the blocks move", false, kStoneSteps, {kRightGroup}, true},
        {"the last puzzle", false, kQuarry, {kQuarryRight}},
        {"the endless game", true, 0, {kRightGroup}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.mWhat);
        const std::vector<Cell>& moves = row.mMoves;
        if (row.mEndless)
            ShipEndlessStoneSteps();
        StartWith(row.mEndless ? SavedEndlessGame(row.mPosition) : SavedMapGame(row.mPosition));
        Kept before, undone, later;
        size_t runs = 0;
        int32_t firstGroup = 0;
        std::vector<Step> steps = row.mEndless ? ToEndlessGame() : ToMapGame();
        steps.push_back(Seen("the first move", [&] {
            before = Now();
            Take(moves[0]);
        }));
        for (size_t k = 1; k < moves.size(); ++k)
            steps.push_back(Seen("a move", [this, at = moves[k]] { Take(at); }));
        const auto firstUndo = [&] {
            runs = Runs();
            ClickUndo();
        };
        if (row.mHasty)
            steps.push_back({"the blocks moving", [this] { return mGame->Processor()->PendingBlockMoves() > 0; },
                             firstUndo});
        else
            steps.push_back(Seen("the first undo", firstUndo));
        for (size_t k = 1; k < moves.size(); ++k)
            steps.push_back(Seen("an undo", [this] { ClickUndo(); }));
        steps.push_back({"the undo's end", [this] { return AtRest(); },
                         [&] {
                             undone = Now();
                             const CCellGrid& grid = mGame->Field()->Grid();
                             firstGroup = grid.Group(CCellGrid::GroupOf(grid.Cell(0))).Count();
                         },
                         0});
        // The resting ball lands once a period.
        steps.push_back({"the ball bouncing a while",
                         [this] { return mUpdate >= mStepSince + 5 * int32_t(mGame->Ball()->Times().mPeriod); },
                         [&] { later = Now(); }, 0});
        Play(steps);

        EXPECT_EQ(runs, moves.size());
        EXPECT_EQ(firstGroup, 3);
        EXPECT_EQ(undone, before);
        EXPECT_EQ(later, before);
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

} // namespace
} // namespace AppTest
