#pragma once

#include <cstdint>
#include <string>

class CGameApp;

namespace Platform {
class HeadlessBackend;
}

namespace AppTest {

// The player's hand on the game's window: presses and releases of the left
// button at points of the window, of its buttons and of the field's cells.
class GameMouse {
public:
    GameMouse(Platform::HeadlessBackend& desktop, CGameApp& game) : mDesktop(desktop), mGame(game) {}

    void Click(int32_t x, int32_t y) const;
    // A button of the window on screen, given by its command id.
    void ClickButton(int32_t command) const;
    // The middle of a cell, where the board draws the field.
    void ClickCell(int32_t column, int32_t row) const;
    // Keys typed into the window: the one thing a mouse cannot do.
    void Type(const std::string& text) const;
    // Whether the window is open and takes the pointer.
    bool Showing(int32_t window) const;

private:
    Platform::HeadlessBackend& mDesktop;
    CGameApp& mGame;
};

} // namespace AppTest
