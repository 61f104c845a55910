#include "tests/app/RandomPlayer.h"

#include "app/CGameApp.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "platform/windows/VirtualKeys.h"

#include <array>
#include <sstream>
#include <vector>

namespace AppTest {
namespace {

using namespace GUIWindowId;

// How much each button of a window is liked, in the window's order; windows
// not listed take any of their buttons alike. Each window keeps a way out.
struct ButtonWeights {
    int32_t mWindow;
    std::array<uint32_t, 7> mWeights;
};
constexpr ButtonWeights kWeights[] = {
    {kGameoverContinue, {3, 1}},
    {kPauseScore, {8, 1, 1}},
    {kPauseBasic, {8, 1, 1}},
    // Players, play, endless, hiscores, options, credits, quit.
    {kMenu, {1, 6, 6, 1, 1, 1, 0}},
    {kPlayerList, {2, 1, 1, 3}},
    {kCreatePlayer2, {2, 1}},
    {kDeletePlayer, {1, 3}},
    {kGameContinue, {4, 2, 1}},
    {kGameRestartScore, {2, 1}},
    {kGameRestartBasic, {2, 1}},
    {kStageSelect, {3, 1}},
    {kHiscoreShow, {1, 8}},
    {kMenuConfirm, {2, 1}},
    {kQuitConfirm, {1, 0}},
    {kStartLast, {2, 1, 1}},
};

// Past this many updates in play a game is brought to its end by missing.
constexpr int32_t kGameBudget = 12000;

} // namespace

RandomPlayer::RandomPlayer(CGameApp& game, GameMouse mouse, uint32_t seed, int32_t games)
    : GamePlayer(game, mouse), mRandom(seed), mGamesWanted(games)
{
}

void RandomPlayer::Wait(uint32_t least, uint32_t most)
{
    mWaitUntil = mUpdate + int32_t(least + mRandom.NextBelow(most - least + 1));
}

void RandomPlayer::OnWindow(int32_t window)
{
    switch (window) {
    case kCreatePlayer1:
        mMouse.Type("Soak");
        break;
    case kCreatePlayer2:
        // Now and then a name that is taken already.
        mMouse.Type(Chance(20) ? "Soak" : "Soak" + std::to_string(++mNames));
        break;
    case kMenu:
        // Back at the menu after play, the game has ended; the next one is played otherwise.
        if (mPlayedUpdates > 0)
            ++mGamesEnded;
        mPlayedUpdates = 0;
        mTakeChance = 50 + mRandom.NextBelow(50);
        break;
    default:
        break;
    }
    // A person reads the window first, for a while or not at all.
    Wait(0, Chance(10) ? 400 : 40);
}

bool RandomPlayer::PressNth(int32_t window, int32_t nth)
{
    const GUIWindow* shown = mGame.GuiController()->Window(window);
    return shown != nullptr && mMouse.PressButton(shown->mFirstButton + nth);
}

void RandomPlayer::ActOnWindow(int32_t window)
{
    const GUIWindow& shown = *mGame.GuiController()->Window(window);
    const int32_t count = shown.mEndButton - shown.mFirstButton;
    Wait(10, 30);
    // Esc over a window: most windows take no key, some go on.
    if (Chance(5)) {
        mMouse.PressKey(Platform::VK_ESCAPE);
        return;
    }
    if (count <= 0)
        return;
    if (window == kCreatePlayer1 || Quitting()) {
        // Each window's last button leads back, out of the game and to the quit.
        if (PressNth(window, count - 1) && window == kQuitConfirm)
            mQuitConfirmed = true;
        return;
    }
    std::array<uint32_t, 7> weights{1, 1, 1, 1, 1, 1, 1};
    for (const ButtonWeights& row : kWeights) {
        if (row.mWindow == window)
            weights = row.mWeights;
    }
    uint32_t total = 0;
    for (int32_t nth = 0; nth < count; ++nth)
        total += weights[size_t(nth)];
    uint32_t pick = mRandom.NextBelow(total);
    int32_t nth = 0;
    while (pick >= weights[size_t(nth)])
        pick -= weights[size_t(nth++)];
    PressNth(window, nth);
}

void RandomPlayer::PlayField()
{
    const CLevelController& levels = *mGame.LevelController();
    if (levels.State() != CLevelController::kPlaying || mGame.GamePaused())
        return;
    ++mPlayedUpdates;
    if (Quitting()) {
        mMouse.PressKey(Platform::VK_ESCAPE);
        Wait(20, 40);
        return;
    }
    // Now and then a hand elsewhere than on the field.
    const uint32_t roll = mRandom.NextBelow(2000);
    if (roll < 2) {
        mMouse.PressKey(Platform::VK_ESCAPE);
    } else if (roll < 4) {
        LeaveWindow(20 + int32_t(mRandom.NextBelow(200)));
    } else if (roll < 5) {
        mMouse.ClickPanelButton(CGamePanel::kPauseButton);
    } else if (roll < 6) {
        mMouse.ClickPanelButton(CGamePanel::kMenuButton);
    } else if (roll < 30 && levels.LevelKind() == CLevelController::kPuzzleKind) {
        mMouse.ClickUndo();
    } else if (mMouse.FieldTakesClick() || roll < 60) {
        // Mostly a click the field takes, sometimes one while the ball flies or blocks move.
        ClickSomeCell();
    } else {
        return;
    }
    Wait(0, 30);
}

void RandomPlayer::ClickSomeCell()
{
    const CGameField& field = *mGame.Field();
    const CCellGrid& grid = field.Grid();
    std::vector<int32_t> bonuses;
    std::vector<int32_t> takes;
    for (int32_t cell = 0; cell < grid.CellCount(); ++cell) {
        const CFieldBlock* block = field.Record(cell).mBlock;
        if (block != nullptr && block->mBonus != nullptr)
            bonuses.push_back(cell);
        else if (mMouse.GroupTaken(cell) > 0)
            takes.push_back(cell);
    }
    const bool missing = mPlayedUpdates > kGameBudget;
    int32_t cell = int32_t(mRandom.NextBelow(uint32_t(grid.CellCount())));
    if (!missing && !bonuses.empty() && Chance(50))
        cell = bonuses[mRandom.NextBelow(uint32_t(bonuses.size()))];
    else if (!missing && !takes.empty() && Chance(mTakeChance))
        cell = takes[mRandom.NextBelow(uint32_t(takes.size()))];
    ClickCell(cell);
}

std::string RandomPlayer::Report() const
{
    std::ostringstream out;
    out << "games ended " << mGamesEnded << " of " << mGamesWanted << ", cell clicks " << CellClicks()
        << ", updates in play of this game " << mPlayedUpdates << ", take chance " << mTakeChance;
    return out.str();
}

} // namespace AppTest
