#include "tests/app/GameMouse.h"

#include "app/CGameApp.h"
#include "game/board/field/CCellGrid.h"
#include "game/board/field/CFieldBlock.h"
#include "game/board/field/CGameField.h"
#include "game/board/field/FieldPoint.h"
#include "game/board/levels/CLevelController.h"
#include "game/board/play/CBall.h"
#include "game/board/play/CGameProcessor.h"
#include "game/screens/map/CLevelMap.h"
#include "game/screens/play/CBoardWidget.h"
#include "game/screens/play/CGamePanel.h"
#include "game/screens/windows/CGUIController.h"
#include "platform/backends/headless/HeadlessBackend.h"

#include <sstream>

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

bool GameMouse::PressButton(int32_t command) const
{
    const GUIButton* button = mGame.GuiController()->Button(command);
    if (button == nullptr || !button->mEnabled)
        return false;
    ClickButton(command);
    return true;
}

void GameMouse::ClickListLine(int32_t line, bool twice) const
{
    CGUIController& gui = *mGame.GuiController();
    const GUIWindow& window = *gui.Window(gui.CurrentWindow());
    const GUIListBox& list = *gui.ListBox(window.mFirstListBox);
    const int32_t x = (mGame.GetWidth() - window.mWidth) / 2 + list.mRect.mX + list.mRect.mWidth / 2;
    const int32_t y = list.mRect.mY + list.mYOffs + list.mSelectionYOffs + line * list.mLineStep + list.mLineStep / 2;
    Click(x, y);
    if (twice)
        Click(x, y);
}

void GameMouse::ClickCell(int32_t column, int32_t row) const
{
    const Lumo::Point at = CellPoint(column, row);
    Click(at.mX, at.mY);
}

void GameMouse::PointAtCell(int32_t column, int32_t row) const
{
    const Lumo::Point at = CellPoint(column, row);
    mDesktop.InjectMouseMove(mGame.mHWnd, at.mX, at.mY);
}

Lumo::Point GameMouse::CellPoint(int32_t column, int32_t row) const
{
    // The board draws the field about its middle.
    const CBoardWidget& board = *mGame.Board();
    const FieldPoint at = mGame.Field()->CellCentre(column, row);
    return {board.mX + board.mWidth / 2 + int32_t(at.mX), board.mY + board.mHeight / 2 + int32_t(at.mY)};
}

void GameMouse::ClickPanelButton(int32_t button) const
{
    // The panel lies over the board's top left corner.
    const CGamePanel::Layout& layout = mGame.Panel()->ActiveLayout();
    const Lumo::Rect& rect = button == CGamePanel::kMenuButton ? layout.mMenuRect : layout.mPauseRect;
    Click(rect.mX + rect.mWidth / 2, rect.mY + rect.mHeight / 2);
}

void GameMouse::ClickUndo() const
{
    // The button lies on the panel, which slides.
    const CGamePanel& panel = *mGame.Panel();
    const Lumo::Rect rect = panel.UndoRect();
    Click(rect.mX + rect.mWidth / 2, panel.VOffset() + rect.mY + rect.mHeight / 2);
}

void GameMouse::Type(const std::string& text) const { mDesktop.InjectText(text); }

void GameMouse::PressKey(uint8_t key) const
{
    mDesktop.InjectKey(key, true);
    mDesktop.InjectKey(key, false);
}

void GameMouse::SetFocus(bool on) const
{
    mDesktop.InjectWindowEvent(mGame.mHWnd, on ? Platform::NativeEvent::Kind::Activated
                                               : Platform::NativeEvent::Kind::Deactivated);
}

bool GameMouse::Showing(int32_t window) const { return ShownWindow() == window; }

int32_t GameMouse::ShownWindow() const
{
    const CGUIController& gui = *mGame.GuiController();
    return gui.State() == CGUIController::kShown ? gui.CurrentWindow() : -1;
}

bool GameMouse::FieldTakesClick() const
{
    const CBoardWidget& board = *mGame.Board();
    return mGame.LevelController()->State() == CLevelController::kPlaying && !mGame.GamePaused() &&
           board.FieldActive() && !board.InputLock() && !board.ClickPending() &&
           !mGame.Ball()->Has(CBall::kFlying | CBall::kHeld | CBall::kLanded);
}

bool GameMouse::FieldAtRest() const { return FieldTakesClick() && mGame.Processor()->PendingBlockMoves() == 0; }

int32_t GameMouse::GroupTaken(int32_t cell) const
{
    const CGameField& field = *mGame.Field();
    const CCellGrid& grid = field.Grid();
    const uint32_t word = grid.Cell(cell);
    if (!CCellGrid::IsOccupied(word) || field.Record(cell).mBlock == nullptr)
        return -1;
    // A click on the ball's own cell is no click.
    const CBoardWidget& board = *mGame.Board();
    if (cell % grid.Width() == board.TargetColumn() && cell / grid.Width() == board.TargetRow())
        return -1;
    const int32_t group = CCellGrid::GroupOf(word);
    const int32_t size = group < grid.GroupIdCounter() ? grid.Group(group).Count() : 0;
    return size >= grid.MatchCount() && CCellGrid::ColourOf(word) != field.ReservedColour() ? size : 0;
}

int32_t GameMouse::PickCell(bool take) const
{
    const CGameField& field = *mGame.Field();
    int32_t best = -1;
    int32_t bestSize = 0;
    for (int32_t cell = 0; cell < field.Grid().CellCount(); ++cell) {
        const int32_t size = GroupTaken(cell);
        if (size < 0 || field.Record(cell).mBlock->mBonus != nullptr || (size > 0) != take)
            continue;
        if (best < 0 || size > bestSize) {
            best = cell;
            bestSize = size;
        }
    }
    return best;
}

std::string GameMouse::Sight() const
{
    if (mGame.LoadingStateNow() != CGameApp::kLoadHandled)
        return "loading in state " + std::to_string(mGame.LoadingStateNow());
    const CGUIController& gui = *mGame.GuiController();
    const CLevelController& levels = *mGame.LevelController();
    const CBoardWidget& board = *mGame.Board();
    std::ostringstream out;
    out << "window " << gui.CurrentWindow() << " in state " << gui.State() << ", paused " << mGame.GamePaused()
        << ", field active " << board.FieldActive() << ", input lock " << board.InputLock() << ", level state "
        << levels.State() << " at position " << levels.CurrentPosition() << ", energy " << levels.Energy()
        << ", lives " << levels.Lives() << ", score " << levels.Score() << ", ball " << mGame.Ball()->State()
        << ", block moves " << mGame.Processor()->PendingBlockMoves() << ", map "
        << mGame.LevelMap()->VisibilityState();
    return out.str();
}

} // namespace AppTest
