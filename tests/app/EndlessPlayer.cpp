#include "tests/app/EndlessPlayer.h"

#include "app/CGameApp.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/levels/CLevelController.h"
#include "game/data/animation/CAnimBase.h"
#include "game/data/pictures/CSceneObj.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/WindowCommands.h"
#include "tests/game/board/field/FieldPicture.h"

#include <sstream>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// The puzzles' grey and their way of closing up: upwards, grey in from below.
constexpr int32_t kGrey = BoardTest::PuzzleSolver::kGrey;
constexpr int32_t kPuzzleShift = 0;

} // namespace

EndlessPlayer::EndlessPlayer(CGameApp& game, GameMouse mouse, int32_t goal)
    : GamePlayer(game, mouse), mGoal(goal), mSolver(mPlan, kPuzzleShift)
{
    BoardTest::PrepareField(mPlan, BoardTest::PuzzleSolver::Rules());
}

void EndlessPlayer::OnWindow(int32_t window)
{
    // A lost level ends the run: the next try starts from the menu.
    if (window == kScoreGameover || window == kScoreGameoverHiscore)
        mPosition = -1;
}

void EndlessPlayer::ActOnWindow(int32_t window)
{
    switch (window) {
    case kMenu:
        Press(Command::kMenuEndless);
        return;
    case kGameContinue:
        Press(Command::kContinueGame);
        return;
    default:
        Press(OnwardCommand(window));
        return;
    }
}

void EndlessPlayer::WatchPosition()
{
    const CLevelController& levels = *mGame.LevelController();
    if (levels.State() != CLevelController::kPlaying || levels.CurrentPosition() == mPosition)
        return;
    mPosition = levels.CurrentPosition();
    ++mTries[mPosition];
    mKinds[mPosition] = levels.LevelKind();
    mGoalReached = mGoalReached || mPosition >= mGoal;
    const CCellGrid& grid = mGame.Field()->Grid();
    if (levels.LevelKind() == CLevelController::kPuzzleKind) {
        if (mSolver.FewestClicks(BoardTest::Picture(grid)) < 0)
            mUnsolvableAtStart[mPosition] = true;
    } else if (grid.ColourHistogram(kGrey) > 0) {
        mGreyAtStart[mPosition] = grid.ColourHistogram(kGrey);
    }
}

bool EndlessPlayer::CrazyColourShown() const
{
    const CSceneObj* indicator = mGame.Panel()->ShownCrazyIndicator();
    if (indicator == nullptr || indicator->mFrameAnim == nullptr)
        return false;
    const CGameField& field = *mGame.Field();
    const size_t crazy = size_t(field.Grid().Parameters().mBlockTypes - 1);
    return crazy < field.BlockDefs().size() &&
           mGame.Anims()->GetFrameImage(*indicator->mFrameAnim) == field.BlockDefs()[crazy].mSprite;
}

void EndlessPlayer::PlayField()
{
    WatchPosition();
    if (mGame.LevelController()->LevelKind() == CLevelController::kCrazyKind)
        mColourShown[mPosition] = mColourShown[mPosition] || CrazyColourShown();
    if (mGoalReached || !FieldReady(true))
        return;
    const int32_t kind = mGame.LevelController()->LevelKind();
    if (kind == CLevelController::kPuzzleKind) {
        PlayPuzzle();
    } else if (kind == CLevelController::kCrazyKind) {
        PlayCrazy();
    } else {
        const int32_t take = mMouse.PickCell(true);
        ClickCell(take >= 0 ? take : mMouse.PickCell(false));
    }
}

void EndlessPlayer::PlayPuzzle()
{
    const int32_t cell = mSolver.FirstClick(BoardTest::Picture(mGame.Field()->Grid()));
    // A field with no way left is lost whatever the click: any take will do.
    ClickCell(cell >= 0 ? cell : mMouse.PickCell(true));
}

std::string EndlessPlayer::Report() const
{
    std::ostringstream out;
    out << "update " << mUpdate << ", " << mMouse.Sight() << ", cell clicks " << CellClicks() << ", tries:";
    for (const auto& [position, tries] : mTries)
        out << ' ' << position << ':' << tries << " (kind " << mKinds.at(position) << ')';
    return out.str();
}

} // namespace AppTest
