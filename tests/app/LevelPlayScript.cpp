#include "tests/app/LevelPlayScript.h"

#include "game/board/field/CGameField.h"
#include "game/board/levels/CLevelController.h"
#include "game/screens/windows/CGUIController.h"
#include "game/screens/windows/GUIWindowTable.h"
#include "tests/app/ScriptedGame.h"
#include "tests/app/WindowCommands.h"

namespace AppTest {

namespace {

constexpr int kUpdatesBetweenClicks = 50;

} // namespace

bool LevelPlayScript::ClickButton(int32_t index) const
{
    const CGUIController& gui = *mGame.GuiController();
    const GUIWindow* window = gui.Window(gui.CurrentWindow());
    if (window == nullptr || index < window->mFirstButton || index >= window->mEndButton)
        return false;
    mMouse.ClickButton(index);
    return true;
}

void LevelPlayScript::operator()(int update)
{
    if (update >= mMostUpdates || (ReachedLevel() && update - mLevelFrom >= mUpdatesInLevel)) {
        mGame.RequestShutdown();
        return;
    }
    CGUIController* gui = mGame.GuiController();
    CLevelController* levels = mGame.LevelController();
    if (gui == nullptr || levels == nullptr || !mGame.LoadedOk())
        return;
    const bool windowShown = gui->State() == CGUIController::kShown;
    if (!mStartClicked) {
        if (windowShown && gui->CurrentWindow() == GUIWindowId::kMenu)
            mStartClicked = ClickButton(Command::kMenuEndless);
        return;
    }
    if (!ReachedLevel()) {
        if (levels->State() == CLevelController::kIntro && windowShown && gui->CurrentWindow() != GUIWindowId::kMenu) {
            const GUIWindow* window = gui->Window(gui->CurrentWindow());
            if (window != nullptr && ClickButton(window->mFirstButton))
                mLevelFrom = update;
        }
        return;
    }
    const CGameField& field = *mGame.Field();
    if (!mGame.GamePaused() && update % kUpdatesBetweenClicks == 0 && field.Width() > 0 && field.Height() > 0) {
        mMouse.ClickCell(mClicks % field.Width(), mClicks / field.Width() % field.Height());
        ++mClicks;
    }
}

} // namespace AppTest
