#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/BonusRecord.h"
#include "game/board/bonuses/CBonusBase.h"
#include "game/board/bonuses/CGameBonuses.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/board/play/ProcessSlot.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/data/players/CUserProfiles.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/windows/VirtualKeys.h"
#include "tests/app/SavedGameTest.h"
#include "tests/app/WindowCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// The map game's third position is its first puzzle level, "Grey Rising".
constexpr int32_t kPuzzlePosition = 2;
// Its cells (column, row) for the test's steps, read off the field: the first
// take's three 0s leave grey under the ball, so nothing more is taken after
// it; the row of 1s that take leaves is taken by the last step.
constexpr int32_t kTakeThree[2] = {4, 3};
constexpr int32_t kTakeRow[2] = {2, 2};
// The endless game's second level generates bonuses.
constexpr int32_t kBonusPosition = 1;

// The links between the parts of the game in play, seen on the program with
// the archive it ships.
class LevelLinksTest : public SavedGameTest {};

// On the puzzle level each field step is recorded, and the undo button takes
// the last one back, the completion bar with it; an undo pressed while the
// ball is in the air is refused, and the ball lands where it was sent.
TEST_F(LevelLinksTest, APuzzleLevelRecordsItsStepsAndTheUndoTakesOneBack)
{
    StartWith(SavedMapGame(kPuzzlePosition));
    std::vector<int32_t> before, stepped, undone;
    // The completion the bar shows and the share of grey on the field, before the step, after it and after the undo.
    std::vector<std::pair<int32_t, int32_t>> completion;
    const auto noteCompletion = [&] {
        const CGameField& field = *mGame->Field();
        completion.emplace_back(mGame->Panel()->Completion(), field.Grid().ColourShare(field.ReservedColour()));
    };
    size_t runs = 0;
    bool refusedInFlight = false;
    std::vector<Step> steps = ToMapGame();
    steps.push_back({"a group to take", [] { return true; },
                     [&] {
                         before = Colours();
                         noteCompletion();
                         ClickTaking(kTakeThree);
                     }});
    steps.push_back({"the step to settle", [this] { return FieldTakesClick(); },
                     [&] {
                         runs = CCellRuns::Current()->Runs().size();
                         stepped = Colours();
                         noteCompletion();
                         ClickUndo();
                     }});
    steps.push_back({"the undo to end", [this] { return FieldTakesClick() && !mGame->Panel()->UndoBusy(); },
                     [&] {
                         undone = Colours();
                         noteCompletion();
                         ClickTaking(kTakeThree);
                     }});
    steps.push_back({"the next step to settle", [this] { return FieldTakesClick(); },
                     [this] { ClickTaking(kTakeRow); }, 0});
    steps.push_back({"the ball in the air", [this] { return mGame->Ball()->Has(CBall::kFlying); },
                     [this] { ClickUndo(); }, 1});
    steps.push_back({"the undo's answer", [] { return true; },
                     [&] { refusedInFlight = !mGame->Panel()->UndoBusy() && !mGame->Processor()->UndoTimer(); }});
    steps.push_back(Ready());
    Play(steps);

    EXPECT_EQ(runs, 1u);
    EXPECT_NE(stepped, before);
    EXPECT_EQ(undone, before);
    ASSERT_EQ(completion.size(), 3u);
    for (const auto& [shown, field] : completion)
        EXPECT_EQ(shown, field);
    EXPECT_NE(completion[1].second, completion[0].second);
    EXPECT_TRUE(refusedInFlight);
    EXPECT_EQ(mGame->Board()->TargetColumn(), kTakeRow[0]);
    EXPECT_EQ(mGame->Board()->TargetRow(), kTakeRow[1]);
    EXPECT_EQ(mGame->Field()->ExcludedColumn(), kTakeRow[0]);
    EXPECT_EQ(mGame->Field()->ExcludedRow(), kTakeRow[1]);
}

// An undo pressed while a step's blocks still move waits for the field to
// settle. A player who leaves the level meanwhile, for the menu, and
// continues the game plays again: the undo given up, nothing of it left.
TEST_F(LevelLinksTest, APuzzleLeftWhileItsUndoWaitsPlaysAgain)
{
    StartWith(SavedMapGame(kPuzzlePosition));
    int32_t undos = -1;
    bool undoBusy = true;
    std::vector<Step> steps = ToMapGame();
    steps.push_back({"a group to take", [] { return true; }, [this] { ClickTaking(kTakeThree); }, 0});
    steps.push_back({"the blocks to move", [this] { return mGame->Processor()->PendingBlockMoves() > 0; },
                     [this] { ClickUndo(); }, 0});
    steps.push_back({"the undo to wait", [this] { return mGame->Processor()->UndoRequested(); },
                     [this] { Mouse().PressKey(Platform::VK_ESCAPE); }});
    steps.push_back(Press(kPauseBasic, Command::kPauseBasicLeave));
    steps.push_back(Press(kMenuConfirm, Command::kLeaveConfirmed));
    const std::vector<Step> again = ToMapGame();
    steps.insert(steps.end(), again.begin(), again.end());
    steps.push_back({"play again", [] { return true; },
                     [&] {
                         undos = ProcessesOfKind(kProcessUndo);
                         undoBusy = mGame->Panel()->UndoBusy();
                     }});
    Play(steps);

    EXPECT_EQ(undos, 0);
    EXPECT_FALSE(undoBusy);
}

// A second endless game of the session, continued from the menu after leaving
// the first, gets bonuses as the first did.
TEST_F(LevelLinksTest, BothEndlessGamesOfASessionGetBonuses)
{
    StartWith(SavedEndlessGame(kBonusPosition));
    std::vector<int32_t> bonusesSeen;
    const Step bonus{"a bonus",
                     [this] {
                         return mGame->Bonuses()->FieldBonuses().BonusesOnField() > 0 || mUpdate >= mStepSince + 3000;
                     },
                     [&] { bonusesSeen.push_back(mGame->Bonuses()->FieldBonuses().BonusesOnField()); }};
    std::vector<Step> steps = ToEndlessGame();
    steps.push_back(bonus);
    for (const std::vector<Step>& more : {LeaveToMenu(kPauseScore, Command::kPauseScoreLeave), ToEndlessGame()})
        steps.insert(steps.end(), more.begin(), more.end());
    steps.push_back(bonus);
    Play(steps);

    ASSERT_EQ(bonusesSeen.size(), 2u);
    EXPECT_GT(bonusesSeen[0], 0);
    EXPECT_GT(bonusesSeen[1], 0);
}

// A bomb fired while the pointer hovers a block of its blast takes that
// block's hover with it: once the field has settled no hover process is left.
TEST_F(LevelLinksTest, ABombOnAHoveredBlockLeavesNoProcessBehind)
{
    StartWith(SavedMapGame(0));
    BonusRecord* bomb = nullptr;
    bool hoveredAtBlast = false;
    int32_t hovers = -1;
    std::vector<Step> steps = ToMapGame();
    steps.push_back({"a bomb on the field", [] { return true; },
                     [&] {
                         // The bomb comes where the test wants it, not where chance puts one.
                         bomb = mGame->BonusBase()->TakeRecord(kBonusBomb);
                         bomb->mBlock = mGame->Field()->Record(4 * mGame->Field()->Width() + 4).mBlock;
                         mGame->Bonuses()->FieldBonuses().AttachBonusToBlock(bomb);
                     },
                     0});
    steps.push_back({"the bomb to come on", [&] { return CFieldBonuses::IsArmed(*bomb) && FieldTakesClick(); },
                     [this] { Mouse().ClickCell(4, 4); }, 0});
    steps.push_back({"the bomb to fire", [this] { return Bomb().GetState() == CBonusBomb::kWaiting; },
                     [this] {
                         const CBoardWidget& board = *mGame->Board();
                         const FieldPoint at = mGame->Field()->CellCentre(5, 4);
                         mSession.Desktop().InjectMouseMove(mGame->mHWnd, board.mX + board.mWidth / 2 + int32_t(at.mX),
                                                            board.mY + board.mHeight / 2 + int32_t(at.mY));
                     },
                     2});
    steps.push_back({"the blast", [this] { return Bomb().GetState() == CBonusBomb::kDestroying; },
                     [&] {
                         const CFieldBlock* block = mGame->Field()->Record(4 * mGame->Field()->Width() + 5).mBlock;
                         hoveredAtBlast = block && block->mHover.mPhase != 0;
                     },
                     0});
    steps.push_back({"the field to settle", [this] { return Bomb().GetState() == CBonusBomb::kIdle && FieldTakesClick(); },
                     [] {}, 300});
    steps.push_back({"the hovers to end", [] { return true; }, [&] { hovers = ProcessesOfKind(kProcessCellHover); }});
    Play(steps);

    EXPECT_TRUE(hoveredAtBlast);
    EXPECT_EQ(hovers, 0);
}

// A level started again puts the ball on the level's cell and aims the board
// there: a click on the cell the ball left in the level before is taken.
TEST_F(LevelLinksTest, TheNextLevelTakesAFirstClickOnTheCellTheBallLeft)
{
    StartWith(SavedMapGame(0));
    int32_t aimedColumn = -1, aimedRow = -1;
    bool taken = false;
    std::vector<Step> steps = ToMapGame();
    steps.push_back({"a cell away from the ball", [] { return true; }, [this] { Mouse().ClickCell(5, 5); }});
    steps.push_back(Ready());
    for (const std::vector<Step>& more : {LeaveToMenu(kPauseBasic, Command::kPauseBasicLeave), ToMapGame()})
        steps.insert(steps.end(), more.begin(), more.end());
    steps.push_back({"the ball on its cell again", [] { return true; },
                     [&] {
                         aimedColumn = mGame->Board()->TargetColumn();
                         aimedRow = mGame->Board()->TargetRow();
                         Mouse().ClickCell(5, 5);
                     },
                     0});
    steps.push_back({"the ball to go",
                     [&] { return mGame->Ball()->Has(CBall::kFlying) || mUpdate >= mStepSince + 100; },
                     [&] { taken = mGame->Ball()->Has(CBall::kFlying); }, 0});
    Play(steps);

    EXPECT_EQ(aimedColumn, 0);
    EXPECT_EQ(aimedRow, 0);
    EXPECT_TRUE(taken);
}

// The level map shows the cups a player has earned on the way; all eight
// only for a player whose saved result says the whole graph was played.
TEST_F(LevelLinksTest, TheLevelMapShowsTheCupsEarned)
{
    struct Case {
        const char* mWhat;
        int32_t mResult;
        int32_t mCups;
    };
    for (const Case& c : {Case{"the second map reached", 0, 0}, Case{"the graph played through", 1, CLevelMap::kCups}}) {
        SCOPED_TRACE(c.mWhat);
        StartWith(SavedMapGame(10, c.mResult));
        int32_t cups = -1;
        Play({Press(kMenu, Command::kMenuPlay), Press(kGameContinue, Command::kContinueGame),
              {"the map", [this] { return Showing(kLevelMap); }, [&] { cups = mGame->LevelMap()->UnlockedCups(); }}});
        EXPECT_EQ(cups, c.mCups);
        mGame.reset();
    }
}

} // namespace
} // namespace AppTest
