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

// A scoring landing opens the combo window. A second scoring landing that
// follows at once, the click sent at the first landing, pays the double
// combo; one sent once the field is at rest again comes after the resting
// ball's first bounce has closed the window, and pays nothing.
TEST_F(LevelRulesTest, AQuickSecondScoringLandingPaysACombo)
{
    for (const bool quick : {true, false}) {
        SCOPED_TRACE(quick ? "quick" : "slow");
        StartWith(SavedMapGame(0));
        int32_t paid = -1;
        std::vector<Step> steps = ToMapGame();
        steps.push_back({"a group to take", [] { return true; }, [this] { ClickScoringCell(); }, 0});
        steps.push_back({"the scoring landing", [this] { return mGame->Processor()->ComboWindow()->mAttached != 0; },
                         [this, quick] {
                             if (quick)
                                 ClickScoringCell();
                         },
                         0});
        if (!quick)
            steps.push_back({"the window closed and the field at rest",
                             [this] { return !mGame->Processor()->ComboWindow()->mAttached && FieldTakesClick(); },
                             [this] { ClickScoringCell(); }, 0});
        steps.push_back({"the ball in the air", [this] { return mGame->Ball()->Has(CBall::kFlying); }, [] {}, 0});
        steps.push_back({"the second landing", [this] { return !mGame->Ball()->Has(CBall::kFlying); }, [] {}, 0});
        steps.push_back({"the window to close", [this] { return !mGame->Processor()->ComboWindow()->mAttached; },
                         [&] { paid = mGame->LevelController()->ComboGain(); }, 0});
        Play(steps);

        EXPECT_EQ(paid, quick ? mGame->LevelController()->Table().Combos().mMatch2 : 0);
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
