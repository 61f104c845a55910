#include "platform/windows/InputTranslator.h"

#include "platform/process/Clock.h"
#include "platform/windows/TextCodec.h"
#include "platform/windows/VirtualKeys.h"
#include "platform/windows/WindowConstants.h"

#include <cstdlib>

namespace Platform {

namespace {

constexpr LPARAM kExtendedKey = LPARAM(1) << 24;
constexpr LPARAM kAltContext = LPARAM(1) << 29;
constexpr LPARAM kWasDown = LPARAM(1) << 30;
constexpr LPARAM kReleasing = LPARAM(1) << 31;

uint32_t ButtonFlag(MouseButton button)
{
    switch (button) {
    case MouseButton::Left:
        return MK_LBUTTON;
    case MouseButton::Right:
        return MK_RBUTTON;
    case MouseButton::Middle:
        break;
    }
    return MK_MBUTTON;
}

// Down, up and double-click messages of a button.
struct ButtonMessages {
    uint32_t down;
    uint32_t up;
    uint32_t doubleClick;
};

ButtonMessages MessagesOf(MouseButton button)
{
    switch (button) {
    case MouseButton::Left:
        return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    case MouseButton::Right:
        return {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK};
    case MouseButton::Middle:
        break;
    }
    return {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK};
}

bool Inside(const RECT& client, int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < client.right - client.left && y < client.bottom - client.top;
}

} // namespace

void InputTranslator::Translate(const NativeEvent& event)
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mLastInput = GetTickCount();
    }
    switch (event.kind) {
    case NativeEvent::Kind::KeyDown:
    case NativeEvent::Kind::KeyUp:
        Key(event);
        break;
    case NativeEvent::Kind::Text:
        Text(event);
        break;
    default:
        Mouse(event);
        break;
    }
}

void InputTranslator::ReleaseModifiers()
{
    mShift = mControl = mLeftAlt = mRightAlt = false;
    mButtons = 0;
    mHaveClick = false;
}

void InputTranslator::SetCursorPosition(POINT screen)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mCursor = screen;
}

POINT InputTranslator::CursorPosition() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mCursor;
}

uint32_t InputTranslator::LastInputTime() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLastInput;
}

HWND InputTranslator::KeyboardTarget(HWND window) const
{
    if (window)
        return window;
    HWND focus = mWindows.Focus();
    return focus ? focus : mWindows.Active();
}

void InputTranslator::Key(const NativeEvent& event)
{
    bool down = event.kind == NativeEvent::Kind::KeyDown;
    if (event.key == VK_SHIFT)
        mShift = down;
    else if (event.key == VK_CONTROL)
        mControl = down;
    else if (event.key == VK_MENU)
        (event.rightSide ? mRightAlt : mLeftAlt) = down;
    HWND target = KeyboardTarget(event.window);
    if (!target)
        return;

    bool alt = mLeftAlt || mRightAlt;
    // Alt makes keys system keys unless Ctrl is held too (AltGr); F10 is one alone.
    bool system = (alt && !mControl) || event.key == VK_F10 || (!down && event.key == VK_MENU && !mControl);
    bool extended = event.rightSide && event.key != VK_SHIFT;
    LPARAM lParam = 1 | (extended ? kExtendedKey : 0) | (alt ? kAltContext : 0);
    if (!down) {
        mQueue.Post(target, system ? WM_SYSKEYUP : WM_KEYUP, event.key, lParam | kWasDown | kReleasing);
        return;
    }
    if (event.repeat)
        lParam |= kWasDown;
    mQueue.Post(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, event.key, lParam);

    int character = -1;
    if (event.key == VK_BACK)
        character = mControl ? 0x7F : 0x08;
    else if (event.key == VK_TAB && !mControl)
        character = 0x09;
    else if (event.key == VK_RETURN)
        character = mControl ? 0x0A : 0x0D;
    else if (event.key == VK_ESCAPE)
        character = 0x1B;
    else if (event.key >= 'A' && event.key <= 'Z' && mControl && !alt)
        character = event.key - 'A' + 1;
    if (character >= 0)
        mQueue.Post(target, system ? WM_SYSCHAR : WM_CHAR, WPARAM(character), lParam);
}

void InputTranslator::Text(const NativeEvent& event)
{
    HWND target = KeyboardTarget(event.window);
    // With Ctrl alone the key itself made the character (or none), as on Windows.
    if (!target || (mControl && !mLeftAlt && !mRightAlt))
        return;
    uint32_t message = mLeftAlt && !mControl ? WM_SYSCHAR : WM_CHAR;
    for (char c : Cp1252FromUtf8(event.text)) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F)
            mQueue.Post(target, message, byte, 1);
    }
}

uint32_t InputTranslator::KeyStateFlags() const
{
    return mButtons | (mShift ? MK_SHIFT : 0) | (mControl ? MK_CONTROL : 0);
}

void InputTranslator::Mouse(const NativeEvent& event)
{
    std::optional<WindowRecord> window = mWindows.Get(event.window);
    if (!window)
        return;
    RECT client = window->Client();
    POINT screen{client.left + event.x, client.top + event.y};
    SetCursorPosition(screen);

    // A window that holds the mouse gets it everywhere, in its own coordinates.
    HWND target = event.window;
    HWND capture = mWindows.Capture();
    if (capture && capture != target) {
        std::optional<WindowRecord> holder = mWindows.Get(capture);
        if (holder) {
            target = capture;
            window = holder;
            client = holder->Client();
        }
    }
    int32_t x = screen.x - client.left;
    int32_t y = screen.y - client.top;

    switch (event.kind) {
    case NativeEvent::Kind::Wheel:
        mQueue.Post(target, WM_MOUSEWHEEL, MAKEWPARAM(KeyStateFlags(), event.wheelNotches * WHEEL_DELTA),
                    MAKELPARAM(screen.x, screen.y));
        return;
    case NativeEvent::Kind::ButtonDown:
    case NativeEvent::Kind::ButtonUp:
    case NativeEvent::Kind::MouseMove:
        break;
    default:
        return;
    }
    if (target != capture && !Inside(client, x, y))
        return;

    if (event.kind == NativeEvent::Kind::MouseMove) {
        mQueue.Post(target, WM_MOUSEMOVE, KeyStateFlags(), MAKELPARAM(x, y));
        return;
    }
    ButtonMessages messages = MessagesOf(event.button);
    if (event.kind == NativeEvent::Kind::ButtonUp) {
        mButtons &= ~ButtonFlag(event.button);
        mQueue.Post(target, messages.up, KeyStateFlags(), MAKELPARAM(x, y));
        return;
    }
    mButtons |= ButtonFlag(event.button);
    uint32_t now = GetTickCount();
    bool doubleClick = (window->classStyle & CS_DBLCLKS) && mHaveClick && mLastClick.window == target &&
                       mLastClick.button == event.button && now - mLastClick.time <= kDoubleClickMs &&
                       std::abs(x - mLastClick.at.x) <= kDoubleClickSize / 2 &&
                       std::abs(y - mLastClick.at.y) <= kDoubleClickSize / 2;
    // The click after a double click starts a new pair.
    mHaveClick = !doubleClick;
    mLastClick = Click{target, event.button, POINT{x, y}, now};
    mQueue.Post(target, doubleClick ? messages.doubleClick : messages.down, KeyStateFlags(), MAKELPARAM(x, y));
}

} // namespace Platform
