#pragma once

#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A small window of "EDIT" and "BUTTON" controls with a loop of its own, for
// the moments when the program's own windows cannot be trusted (a crash).
// Texts are code page 1252.
namespace Platform {

// A child control as CreateWindowEx makes it: class, style bits, place in the
// client area, text, and the font CreateFontA would give it.
struct DialogControl {
    std::string className; // "EDIT" or "BUTTON"
    uint32_t style = 0;
    RECT place{0, 0, 0, 0};
    std::string text;
    std::string fontFace;
    int32_t fontHeight = 0; // negative: the character height in pixels
    int32_t fontWeight = 400;
};

struct DialogLayout {
    std::string title;
    POINT origin{0, 0}; // the window's top left on the screen
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    std::vector<DialogControl> controls;
    // The control that takes the keyboard, or -1.
    int focus = -1;
};

struct DialogEvent {
    enum class Kind { None, Pressed, Close };
    Kind kind = Kind::None;
    // The pressed button's index in the layout.
    size_t control = 0;
};

// Made by the desktop backend; used by one thread, which need not be the
// main thread. Every call returns within its bound.
class DialogWindow {
public:
    virtual ~DialogWindow() = default;
    virtual void Show(bool visible) = 0;
    virtual void SetControlText(size_t control, const std::string& text) = 0;
    virtual std::string ControlText(size_t control) = 0;
    // What the user did, waiting at most the given time for it.
    virtual DialogEvent Wait(uint32_t timeoutMillis) = 0;
};

// Null when the desktop can show no such window.
std::unique_ptr<DialogWindow> OpenDialogWindow(const DialogLayout& layout);

} // namespace Platform
