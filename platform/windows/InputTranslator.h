#pragma once

#include "platform/windows/MessageQueue.h"
#include "platform/windows/NativeEvent.h"
#include "platform/windows/WindowTable.h"
#include "platform/windows/WindowTypes.h"

#include <cstdint>
#include <mutex>

namespace Platform {

// Turns the desktop's keyboard and mouse events into the messages Windows
// would post: system keys while Alt is held, the characters Windows makes
// from keys (Backspace, Tab, Return, Escape, Ctrl+letter), double clicks by
// time and distance, wheel notches of 120, and mouse messages only inside
// the client area unless the window holds the mouse.
class InputTranslator {
public:
    // Windows' defaults.
    static constexpr uint32_t kDoubleClickMs = 500;
    static constexpr int32_t kDoubleClickSize = 4;

    InputTranslator(WindowTable& windows, MessageQueue& queue) : mWindows(windows), mQueue(queue) {}

    void Translate(const NativeEvent& event);
    // Keys held while the focus leaves never report their release.
    void ReleaseModifiers();

    void SetCursorPosition(POINT screen);
    POINT CursorPosition() const;
    // GetTickCount of the last keyboard or mouse input.
    uint32_t LastInputTime() const;

private:
    void Key(const NativeEvent& event);
    void Text(const NativeEvent& event);
    void Mouse(const NativeEvent& event);
    uint32_t KeyStateFlags() const;
    HWND KeyboardTarget(HWND window) const;

    WindowTable& mWindows;
    MessageQueue& mQueue;

    bool mShift = false;
    bool mControl = false;
    bool mLeftAlt = false;
    bool mRightAlt = false;
    uint32_t mButtons = 0;

    struct Click {
        HWND window = nullptr;
        MouseButton button = MouseButton::Left;
        POINT at;
        uint32_t time = 0;
    };
    bool mHaveClick = false;
    Click mLastClick;

    mutable std::mutex mMutex;
    POINT mCursor;
    uint32_t mLastInput = 0;
};

} // namespace Platform
