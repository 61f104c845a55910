#pragma once

#include "framework/widgets/Point.h"

#include <cstdint>
#include <string>

class CGameApp;

namespace Platform {
class HeadlessBackend;
}

namespace AppTest {

// The player's hand on the game's window: presses and releases of the left
// button at points of the window, of its buttons and of the field's cells,
// keys and the window's focus; and the player's eye on what the game shows.
class GameMouse {
public:
    GameMouse(Platform::HeadlessBackend& desktop, CGameApp& game) : mDesktop(desktop), mGame(game) {}

    void Click(int32_t x, int32_t y) const;
    // A button of the window on screen, given by its command id.
    void ClickButton(int32_t command) const;
    // The same when the button takes clicks; true when clicked.
    bool PressButton(int32_t command) const;
    // A line of the open window's first list, counted from its first shown;
    // twice is a double click.
    void ClickListLine(int32_t line, bool twice) const;
    // The middle of a cell, where the board draws the field.
    void ClickCell(int32_t column, int32_t row) const;
    // The pointer moved there, no button pressed.
    void PointAtCell(int32_t column, int32_t row) const;
    // The menu or pause button of the panel over the field.
    void ClickPanelButton(int32_t button) const;
    void ClickUndo() const;
    // Keys typed into the window: the one thing a mouse cannot do.
    void Type(const std::string& text) const;
    // A key pressed and let go, by its virtual-key code.
    void PressKey(uint8_t key) const;
    // The window losing the focus to another one, or getting it back.
    void SetFocus(bool on) const;
    // What the player sees. Whether the window is open and takes the pointer.
    bool Showing(int32_t window) const;
    // The window open and taking the pointer, or -1.
    int32_t ShownWindow() const;
    // Whether a click on the field would send the ball now.
    bool FieldTakesClick() const;
    // The same with the last step's blocks at rest, so that a landing can take a group.
    bool FieldAtRest() const;
    // What a landing on the cell takes: the size of its group, 0 for nothing,
    // -1 where a click sends the ball onto no block (an empty cell, the ball's own).
    int32_t GroupTaken(int32_t cell) const;
    // A cell of the largest group a landing takes (take), or one whose landing
    // takes nothing; no bonus block, which fires instead. -1 when there is none.
    int32_t PickCell(bool take) const;
    // What the game shows now, for a run that stalls.
    std::string Sight() const;

private:
    // The middle of a cell in the window.
    Lumo::Point CellPoint(int32_t column, int32_t row) const;

    Platform::HeadlessBackend& mDesktop;
    CGameApp& mGame;
};

} // namespace AppTest
