#include "framework/graphics/Graphics.h"
#include "framework/graphics/images/MemoryImage.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/field/CellRecord.h"
#include "game/board/field/LineEntry.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/data/animation/CAnimTrack.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/MousePlayer.h"
#include "tests/app/SavedGameTest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace AppTest {
namespace {

// The map game's second position, "Against the Clock": its points start below
// the time hazard's threshold and drain.
constexpr int32_t kTimedPosition = 1;
// Below the energy hazard's threshold of 300.
constexpr int32_t kLowEnergy = 260;
// Updates of play looked at.
constexpr int32_t kWatchedUpdates = 300;
// "Colour Storm", the map game's first crazy level.
constexpr int32_t kCrazyPosition = 3;
// Tries of a level, each from its own start time and so its own random numbers.
constexpr int32_t kTries = 5;

// The rules of a level in play, seen on the program with the archive it ships.
class LevelRulesTest : public SavedGameTest {
protected:
    // Whether the level is in play and running, its processor too.
    bool InPlay() const
    {
        return mGame->LevelController()->State() == CLevelController::kPlaying &&
               mGame->Processor()->State() == CLevelController::kPlaying && !mGame->GamePaused();
    }

    // A cell off the ball's whose landing takes a group, clicked.
    void ClickScoringCell()
    {
        int32_t column = 0, row = 0;
        ASSERT_TRUE(ScoringCell(&column, &row));
        Mouse().ClickCell(column, row);
    }

    // What the field shows in motion and how: where the cell records draw the
    // blocks that arrive and leave, the line entries' progress and the blocks' light.
    std::vector<intptr_t> ShownState() const
    {
        const CGameField& field = *mGame->Field();
        std::vector<intptr_t> state;
        for (int32_t cell = 0; cell < field.CellCount(); ++cell) {
            const CellRecord& record = field.Record(cell);
            state.insert(state.end(), {intptr_t(record.mArriving), intptr_t(record.mLeaving), record.mArrival,
                                       record.mArrivingX, record.mArrivingY, record.mLeavingX, record.mLeavingY});
            if (record.mBlock)
                state.push_back(record.mBlock->mLightLevel);
        }
        for (const LineEntry& entry : field.LineEntries())
            state.insert(state.end(), {entry.mState, entry.mEntered, entry.mStartRow, entry.mStepper.mSteps});
        for (const MovingBlock& moving : field.MovingBlocks())
            state.push_back(moving.mCell);
        return state;
    }

    // The field drawn as the board draws it.
    std::vector<uint32_t> DrawnField()
    {
        mScreen.SetSize(800, 600);
        mScreen.Clear();
        Lumo::Graphics g(&mScreen);
        mGame->Field()->Draw(g, 400, 300);
        const uint32_t* pixels = mScreen.GetPixelBits();
        return {pixels, pixels + 800 * 600};
    }

    // The level ended: won, or lost with the continue or game-over window.
    static bool LevelOver(int32_t window)
    {
        using namespace GUIWindowId;
        return window == kLevelEndCrazy || window == kGameoverContinue || window == kGameover;
    }

    // One try of the crazy level from a saved game, a second later each
    // time, by a player who clicks a reaction after each landing; true when won.
    bool WinsCrazyLevel(int32_t attempt)
    {
        mClock.AdvanceMillis(1000 * uint32_t(attempt));
        StartWith(SavedMapGame(kCrazyPosition));
        MousePlayer player(*mGame, Mouse(), "Ada", MousePlayer::kWin);
        player.SetReaction(kPersonReaction);
        ScriptedGame& game = *mGame;
        bool won = false;
        game.mScript = [&](int update) {
            player.Update(update);
            const int32_t window = Mouse().ShownWindow();
            won = window == GUIWindowId::kLevelEndCrazy;
            if (LevelOver(window))
                game.RequestShutdown();
        };
        game.Run();
        EXPECT_TRUE(LevelOver(Mouse().ShownWindow())) << player.Report();
        mGame.reset();
        return won;
    }

    Lumo::MemoryImage mScreen;
};

// A timed level started low on energy: both hazards hold from the start, and
// once the first end test has run (here after a miss), the HUD warns of both
// at every update.
TEST_F(LevelRulesTest, TheHudWarnsOfEveryHazardThatHolds)
{
    StartWith(SavedMapGame(kTimedPosition, 0, kLowEnergy));
    int32_t held = 0;
    int32_t warned = 0;
    std::vector<Step> steps = ToMapGame();
    steps.push_back({"a miss", [] { return true; },
                     [this] {
                         const int32_t cell = Mouse().PickCell(false);
                         ASSERT_GE(cell, 0);
                         Mouse().ClickCell(cell % mGame->Field()->Width(), cell / mGame->Field()->Width());
                     },
                     0});
    steps.push_back({"its landing", [this] { return mGame->LevelController()->Energy() < kLowEnergy; }, [] {}, 0});
    steps.push_back({"a while of play",
                     [&] {
                         if (InPlay()) {
                             int32_t flags = 0;
                             mGame->LevelController()->GetHazardFlags(&flags);
                             const CGamePanel& panel = *mGame->Panel();
                             held += flags == 3;
                             warned += flags == 3 && panel.HazardTrack(CGamePanel::kHazardTime) &&
                                       panel.HazardTrack(CGamePanel::kHazardEnergy);
                         }
                         return mUpdate >= mStepSince + kWatchedUpdates;
                     },
                     [] {}, 0});
    Play(steps);

    EXPECT_GT(held, kWatchedUpdates / 2);
    EXPECT_EQ(warned, held);
}

// A scoring landing opens the combo window; a second scoring landing while
// it is open pays the double combo. The click that sends the ball may come at
// the first landing or a person's reaction after it; one sent once the field
// is at rest again comes after the resting ball's first bounce has closed the
// window, and pays nothing.
TEST_F(LevelRulesTest, ASecondScoringLandingSoonAfterTheFirstPaysACombo)
{
    struct Case {
        const char* mWhat;
        // Updates from the scoring landing to the second click; -1 for once the field is at rest.
        int32_t mAfter;
        bool mPays;
    };
    const Case cases[] = {{"at the landing", 0, true}, {"a person's reaction on", kPersonReaction, true},
                          {"at rest again", -1, false}};
    for (const Case& row : cases) {
        SCOPED_TRACE(row.mWhat);
        StartWith(SavedMapGame(0));
        int32_t landed = 0;
        int32_t paid = -1;
        std::vector<Step> steps = ToMapGame();
        steps.push_back({"a group to take", [] { return true; }, [this] { ClickScoringCell(); }, 0});
        steps.push_back({"the scoring landing", [this] { return mGame->Processor()->ComboWindow()->mAttached != 0; },
                         [&] { landed = mUpdate; }, 0});
        if (row.mAfter >= 0)
            steps.push_back({"the second click", [&] { return mUpdate >= landed + row.mAfter; },
                             [this] { ClickScoringCell(); }, 0});
        else
            steps.push_back({"the window closed and the field at rest",
                             [this] { return !mGame->Processor()->ComboWindow()->mAttached && FieldTakesClick(); },
                             [this] { ClickScoringCell(); }, 0});
        steps.push_back({"the ball in the air", [this] { return mGame->Ball()->Has(CBall::kFlying); }, [] {}, 0});
        steps.push_back({"the second landing", [this] { return !mGame->Ball()->Has(CBall::kFlying); }, [] {}, 0});
        steps.push_back({"the window to close", [this] { return !mGame->Processor()->ComboWindow()->mAttached; },
                         [&] { paid = mGame->LevelController()->ComboGain(); }, 0});
        Play(steps);

        EXPECT_EQ(paid, row.mPays ? mGame->LevelController()->Table().Combos().mMatch2 : 0);
        mGame.reset();
    }
}

// A combo that carries the points past the level's goal wins the level at
// once; the player need not jump again. The points are set just below the
// goal after the second landing, so that the combo alone reaches it.
TEST_F(LevelRulesTest, AComboThatReachesTheGoalEndsTheLevel)
{
    StartWith(SavedMapGame(0));
    // The controller comes with the game's loading.
    const auto levels = [this]() -> CLevelController& { return *mGame->LevelController(); };
    int32_t paid = -1;
    int32_t stateAfter = -1;
    std::vector<Step> steps = ToMapGame();
    steps.push_back({"a group to take", [] { return true; }, [this] { ClickScoringCell(); }, 0});
    steps.push_back({"the scoring landing", [this] { return mGame->Processor()->ComboWindow()->mAttached != 0; },
                     [this] { ClickScoringCell(); }, 0});
    steps.push_back({"the ball in the air", [this] { return mGame->Ball()->Has(CBall::kFlying); }, [] {}, 0});
    steps.push_back({"the second landing scored",
                     [&] { return !mGame->Ball()->Has(CBall::kFlying) && levels().ComboCount() >= 2; },
                     [&] { levels().SetPoints(levels().Level().mPointsToComplete - 1); }, 0});
    steps.push_back({"the combo paid", [&] { return levels().ComboGain() > 0; }, [&] { paid = levels().ComboGain(); },
                     0});
    steps.push_back({"a while", [this] { return mUpdate >= mStepSince + kWatchedUpdates; },
                     [&] { stateAfter = levels().State(); }, 0});
    Play(steps);

    EXPECT_EQ(paid, levels().Table().Combos().mMatch2);
    EXPECT_NE(stateAfter, CLevelController::kPlaying);
}

// On a crazy level every landing turns the block under the ball, and the
// resting ball's bounces are landings too: a block brought to the level's
// colour turns away at the next bounce unless the ball has left it. A person
// who sees the block arrive and then aims at the next one wins most tries.
TEST_F(LevelRulesTest, APersonWinsTheCrazyLevel)
{
    int32_t won = 0;
    for (int32_t attempt = 0; attempt < kTries; ++attempt)
        won += WinsCrazyLevel(attempt);
    EXPECT_GT(won, kTries / 2);
}

// A player who never clicks leaves the other blocks as they are: the level
// is lost, however many points the bouncing earns.
TEST_F(LevelRulesTest, ThePlayerWhoNeverClicksLosesTheCrazyLevel)
{
    StartWith(SavedMapGame(kCrazyPosition));
    std::vector<Step> steps = ToMapGame();
    steps.push_back({"the level's end", [this] { return LevelOver(Mouse().ShownWindow()); }, [] {}, 0});
    Play(steps);
    EXPECT_EQ(Mouse().ShownWindow(), GUIWindowId::kGameoverContinue);
}

// Drawing the field changes nothing of what it shows: while a field step's
// blocks move, the state the update left stays as it is through a draw, and a
// second draw shows what the first showed.
TEST_F(LevelRulesTest, DrawingTheFieldChangesNothing)
{
    StartWith(SavedMapGame(0));
    int32_t looked = 0;
    std::vector<std::string> changed;
    std::vector<Step> steps = ToMapGame();
    steps.push_back({"a group to take", [] { return true; }, [this] { ClickScoringCell(); }, 0});
    steps.push_back({"the blocks to move", [this] { return mGame->Processor()->PendingBlockMoves() > 0; }, [] {}, 0});
    steps.push_back({"the blocks at rest",
                     [&] {
                         if (mGame->Processor()->PendingBlockMoves() == 0)
                             return true;
                         ++looked;
                         const std::vector<intptr_t> before = ShownState();
                         const std::vector<uint32_t> first = DrawnField();
                         const bool moved = ShownState() != before;
                         if (moved || DrawnField() != first)
                             changed.push_back("update " + std::to_string(mUpdate) + (moved ? ": moved" : ": redrawn"));
                         return false;
                     },
                     [] {}, 0});
    Play(steps);

    EXPECT_GT(looked, 10);
    EXPECT_EQ(changed, std::vector<std::string>{});
}

} // namespace
} // namespace AppTest
