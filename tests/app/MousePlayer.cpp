#include "tests/app/MousePlayer.h"

#include "app/CGameApp.h"
#include "game/board/levels/CLevelController.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/WindowCommands.h"

#include <sstream>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// The tally line that shows the level's gain, counted last.
constexpr int32_t kTallyGainSlot = 13;

} // namespace

MousePlayer::MousePlayer(CGameApp& game, GameMouse mouse, std::string name, Goal goal)
    : GamePlayer(game, mouse), mName(std::move(name)), mGoal(goal)
{
}

void MousePlayer::ActOnWindow(int32_t window)
{
    switch (window) {
    case kCreatePlayer1:
        Press(Command::kCreatePlayerOk);
        return;
    case kMenu:
        Press(mGoal == kQuit ? Command::kMenuQuit : Command::kMenuPlay);
        return;
    case kQuitConfirm:
        mQuitConfirmed = Press(Command::kQuitYes);
        return;
    case kLevelEndClassic:
        // The tally counts its lines one after the other; the level's gain comes last.
        if (!TallyCounted())
            return;
        break;
    case kLevelMap: {
        // After a won level the map's highlight moves on to the next position; watch it arrive.
        const CLevelMap& map = *mGame.LevelMap();
        if (map.HighlightState() != CLevelMap::kAtPosition)
            return;
        if (Press(Command::kMapPlay) && mGoal == kLose && mMapTarget < 0)
            mMapTarget = map.CurrentPosition();
        return;
    }
    default:
        break;
    }
    Press(OnwardCommand(window));
}

void MousePlayer::OnWindow(int32_t window)
{
    const CLevelController& levels = *mGame.LevelController();
    switch (window) {
    case kCreatePlayer1:
        mMouse.Type(mName);
        break;
    case kLevelStart:
        mStartedPositions.push_back(levels.CurrentPosition());
        mStartedKinds.push_back(levels.LevelKind());
        break;
    case kLevelEndClassic:
    case kLevelEndPuzzle:
    case kLevelEndCrazy:
        if (mGoal == kWin) {
            mTallyScore = levels.Score();
            mGoal = kLose;
        }
        break;
    case kGameover:
    case kGameoverHiscore:
        mGameOverScore = levels.Score();
        mGoal = kQuit;
        break;
    default:
        break;
    }
}

bool MousePlayer::TallyCounted()
{
    CGUIController& gui = *mGame.GuiController();
    const GUILabel* gain = gui.Label(gui.InfoLabelIndex(kTallyGainSlot));
    const int32_t expected = mGame.LevelController()->LevelGain();
    if (gain == nullptr || (gain->mFlags & GUILabel::kCounting) != 0 || gain->mTarget != expected ||
        gain->mCurrent != expected)
        return false;
    mTallyGain = expected;
    return true;
}

void MousePlayer::PlayField()
{
    // A ball landing while blocks still move takes nothing: to score, wait for the field to settle.
    if (mGoal == kQuit || !FieldReady(mGoal == kWin))
        return;
    if (mGoal == kWin && mGame.LevelController()->LevelKind() == CLevelController::kCrazyKind)
        PlayCrazy();
    else
        ClickCell(mMouse.PickCell(mGoal == kWin));
}

std::string MousePlayer::Report() const
{
    std::ostringstream out;
    out << "update " << mUpdate << ", goal " << mGoal << ", " << mMouse.Sight() << ", cell clicks " << CellClicks()
        << ", windows seen:";
    for (const int32_t window : WindowsSeen())
        out << ' ' << window;
    return out.str();
}

} // namespace AppTest
