#include "tests/app/TourWatch.h"

#include "app/CGameApp.h"
#include "game/board/bonuses/BonusId.h"
#include "game/board/bonuses/CBonusBomb.h"
#include "game/board/bonuses/CGameBonuses.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/field/CCellRuns.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CGameProcessor.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"

#include <gtest/gtest.h>

namespace AppTest {
namespace {

// The map game's second map begins at this position.
constexpr int32_t kSecondMap = 10;

} // namespace

void TourWatch::Update()
{
    if (mGame.LoadingStateNow() != CGameApp::kLoadHandled)
        return;
    mLevels.Update(++mUpdates);
    const CGUIController& gui = *mGame.GuiController();
    if (gui.State() == CGUIController::kShown)
        mLastWindow = gui.CurrentWindow();
    WatchLevel();
    WatchPause();
    WatchBomb();
    WatchSuperbonus();
}

void TourWatch::WatchSuperbonus()
{
    // A group taken in the shape of the panel's piece starts the superbonus,
    // and the level's points rise by the piece's points with it.
    const CLevelController& levels = *mGame.LevelController();
    const bool running = mGame.Bonuses()->SuperBonus().Running();
    if (running && !mSuperbonusRunning) {
        ++mSuperbonuses;
        const LevelRecord& level = levels.Level();
        for (int32_t k = 0; k < level.mPieceCount; ++k) {
            if (levels.LevelPoints() - mPoints >= levels.Table().PiecePoints(level, k)) {
                ++mSuperbonusesPaid;
                break;
            }
        }
    }
    mSuperbonusRunning = running;
    mPoints = levels.LevelPoints();
}

void TourWatch::WatchBomb()
{
    // The blast begins: is a block of its area under the pointer, one of no
    // group, which the blast takes by itself?
    const int32_t state = mGame.Bonuses()->Bomb().GetState();
    if (state == CBonusBomb::kDestroying && mBombState != CBonusBomb::kDestroying) {
        const CGameField& field = *mGame.Field();
        const CCellGrid& grid = field.Grid();
        const CBoardWidget& board = *mGame.Board();
        for (int32_t column = board.TargetColumn() - 1; column <= board.TargetColumn() + 1; ++column) {
            for (int32_t row = board.TargetRow() - 1; row <= board.TargetRow() + 1; ++row) {
                if (column < 0 || row < 0 || column >= grid.Width() || row >= grid.Height())
                    continue;
                const CFieldBlock* block = field.Record(row * grid.Width() + column).mBlock;
                const int32_t group = CCellGrid::GroupOf(grid.Cell(column, row));
                const bool alone = group >= grid.GroupIdCounter() || grid.Group(group).Count() < grid.MatchCount();
                mBombTookHover = mBombTookHover || (block != nullptr && block->mHover.mPhase != 0 && alone);
            }
        }
    }
    mBombState = state;
}

void TourWatch::WatchLevel()
{
    const CLevelController& levels = *mGame.LevelController();
    const int32_t state = levels.State();
    const bool sameLevel = levels.GameMode() == mMode && levels.CurrentPosition() == mPosition;
    // The endless game goes on to its next level at once, in play.
    const bool nextEndless = mMode == 2 && levels.GameMode() == 2 && levels.CurrentPosition() == mPosition + 1;
    if ((sameLevel && mState == CLevelController::kPlaying && state == CLevelController::kCompleted) || nextEndless)
        mKindsWon.insert(mKind);
    // A level starts with no step to take back.
    if (state != CLevelController::kPlaying)
        mRuns = 0;
    if (state == CLevelController::kPlaying) {
        const size_t runs = CCellRuns::Current()->Runs().size();
        const bool puzzle = sameLevel && mKind == CLevelController::kPuzzleKind;
        mUndone = mUndone || (puzzle && runs < mRuns);
        // A step taken on a puzzle lights its arrows.
        if (puzzle && runs > mRuns) {
            ++mPuzzleSteps;
            mPuzzleStepsLit += mGame.Processor()->ArrowMode() == CGameProcessor::kArrowsShown;
        }
        mRuns = runs;
        mMode = levels.GameMode();
        mPosition = levels.CurrentPosition();
        mKind = levels.LevelKind();
        // The second map's border comes with the reload the new map asks for.
        const int32_t border = mGame.Field()->Effects().mBorderBefore;
        if (mMode == 1 && mPosition < kSecondMap)
            mFirstMapBorder = border;
        mPlayedSecondMap = mPlayedSecondMap || (mMode == 1 && mPosition >= kSecondMap && mNewMapAsked &&
                                                border != mFirstMapBorder);
    }
    mNewMapAsked = mNewMapAsked || (mFirstMapBorder != kNoBorder && levels.StageChanged());
    mState = state;
}

void TourWatch::WatchPause()
{
    const CLevelController& levels = *mGame.LevelController();
    const bool inPlay = levels.State() == CLevelController::kPlaying;
    if (!inPlay) {
        mPause = 0;
        return;
    }
    const bool paused = mGame.GamePaused();
    if (mPause == 0 && paused) {
        const CGUIController& gui = *mGame.GuiController();
        const int32_t window = gui.CurrentWindow();
        if (window == GUIWindowId::kPauseBasic || window == GUIWindowId::kPauseScore)
            mPause = mGame.mActive ? 1 : 2;
    } else if (mPause != 0 && !paused) {
        mResumedAfterKey = mResumedAfterKey || mPause == 1;
        mResumedAfterFocus = mResumedAfterFocus || mPause == 2;
        mPause = 0;
    }
}

void TourWatch::ExpectTheWholeTour()
{
    const std::set<int32_t> kinds = {CLevelController::kPointsKind, CLevelController::kTimedKind,
                                     CLevelController::kPuzzleKind, CLevelController::kCrazyKind,
                                     CLevelController::kEndlessKind};
    EXPECT_EQ(mKindsWon, kinds) << "the kinds of level won";
    EXPECT_TRUE(mUndone) << "an undo on a puzzle";
    EXPECT_GT(mPuzzleSteps, 0);
    EXPECT_EQ(mPuzzleStepsLit, mPuzzleSteps) << "steps of a puzzle that lit its arrows";
    std::set<int32_t> all;
    for (int32_t id = 0; id < kBonusCount; ++id)
        all.insert(id);
    EXPECT_EQ(mFired.Now(), all) << "the bonuses fired";
    EXPECT_TRUE(mBombTookHover) << "a bomb's blast on a block under the pointer";
    EXPECT_GT(mSuperbonuses, 0) << "a superbonus";
    EXPECT_EQ(mSuperbonusesPaid, mSuperbonuses) << "superbonuses that paid the piece's points";
    EXPECT_TRUE(mNewMapAsked) << "a new map asked for after the first map's levels";
    EXPECT_TRUE(mPlayedSecondMap) << "a level of the second map, on its own border";
    EXPECT_TRUE(mResumedAfterKey) << "play resumed after a pause by the player";
    EXPECT_TRUE(mResumedAfterFocus) << "play resumed after a pause by the focus lost";
    EXPECT_EQ(mLastWindow, GUIWindowId::kQuitConfirm) << "the game's own quit at the end";
    EXPECT_EQ(mLevels.Faults(), "");
}

} // namespace AppTest
