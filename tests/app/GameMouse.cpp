#include "tests/app/GameMouse.h"

#include "app/CGameApp.h"
#include "game/board/CGameField.h"
#include "game/board/FieldPoint.h"
#include "game/screens/CBoardWidget.h"
#include "game/screens/CGUIController.h"
#include "platform/backends/headless/HeadlessBackend.h"

namespace AppTest {

void GameMouse::Click(int32_t x, int32_t y) const
{
    mDesktop.InjectMouseMove(mGame.mHWnd, x, y);
    mDesktop.InjectButton(mGame.mHWnd, Platform::MouseButton::Left, true, x, y);
    mDesktop.InjectButton(mGame.mHWnd, Platform::MouseButton::Left, false, x, y);
}

void GameMouse::ClickButton(int32_t command) const
{
    CGUIController& gui = *mGame.GuiController();
    const GUIButton& button = *gui.Button(command);
    // Windows stand in the middle of the screen's width.
    const int32_t left = (mGame.GetWidth() - gui.Window(gui.CurrentWindow())->mWidth) / 2;
    Click(left + button.mRect.mX + button.mRect.mWidth / 2, button.mRect.mY + button.mRect.mHeight / 2);
}

void GameMouse::ClickCell(int32_t column, int32_t row) const
{
    // The board draws the field about its middle.
    const CBoardWidget& board = *mGame.Board();
    const FieldPoint at = mGame.Field()->CellCentre(column, row);
    Click(board.mX + board.mWidth / 2 + int32_t(at.mX), board.mY + board.mHeight / 2 + int32_t(at.mY));
}

void GameMouse::Type(const std::string& text) const { mDesktop.InjectText(text); }

bool GameMouse::Showing(int32_t window) const
{
    const CGUIController& gui = *mGame.GuiController();
    return gui.CurrentWindow() == window && gui.State() == CGUIController::kShown;
}

} // namespace AppTest
