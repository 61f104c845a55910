#include "platform/windows/Input.h"
#include "platform/windows/Messages.h"
#include "platform/windows/VirtualKeys.h"
#include "platform/windows/Window.h"
#include "tests/platform/windows/WindowFixture.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

const std::initializer_list<uint32_t> kMouseMessages = {
    WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
    WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_MOUSEWHEEL};

class Mouse : public WindowFixture {
protected:
    void SetUp() override
    {
        // Client area 800 x 600 at (103, 126) on the screen.
        mWindow = MakeWindow();
        ShowWindow(mWindow, SW_SHOW);
        Pump();
    }

    std::vector<MSG> MouseCalls() { return Only(Pump(), kMouseMessages); }

    HWND mWindow = nullptr;
};

TEST_F(Mouse, MessagesCarryClientPositionAndHeldButtons)
{
    mDesktop.InjectMouseMove(mWindow, 10, 20);
    mDesktop.InjectButton(mWindow, MouseButton::Left, true, 10, 20);
    mDesktop.InjectKey(VK_SHIFT, true);
    mDesktop.InjectMouseMove(mWindow, 799, 599);
    mDesktop.InjectButton(mWindow, MouseButton::Right, true, 799, 599);
    mDesktop.InjectButton(mWindow, MouseButton::Left, false, 799, 599);
    mDesktop.InjectButton(mWindow, MouseButton::Middle, true, 0, 0);
    std::vector<MSG> calls = MouseCalls();
    struct Expected {
        uint32_t message;
        WPARAM keys;
        int32_t x, y;
    };
    const Expected expected[] = {
        {WM_MOUSEMOVE, 0, 10, 20},
        {WM_LBUTTONDOWN, MK_LBUTTON, 10, 20},
        {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 799, 599},
        {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_SHIFT, 799, 599},
        {WM_LBUTTONUP, MK_RBUTTON | MK_SHIFT, 799, 599},
        {WM_MBUTTONDOWN, MK_RBUTTON | MK_MBUTTON | MK_SHIFT, 0, 0},
    };
    ASSERT_EQ(calls.size(), std::size(expected));
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].hwnd, mWindow);
        EXPECT_EQ(calls[i].message, expected[i].message) << i;
        EXPECT_EQ(calls[i].wParam, expected[i].keys) << i;
        EXPECT_EQ(GET_X_LPARAM(calls[i].lParam), expected[i].x) << i;
        EXPECT_EQ(GET_Y_LPARAM(calls[i].lParam), expected[i].y) << i;
    }
}

struct ClickPair {
    const char* name;
    uint32_t gapMs;
    int32_t dx;
    int32_t dy;
    MouseButton secondButton;
    uint32_t expected;
};

TEST_F(Mouse, SecondClickSoonAndCloseIsADoubleClick)
{
    const ClickPair cases[] = {
        {"quick", 100, 0, 0, MouseButton::Left, WM_LBUTTONDBLCLK},
        {"at the limit", 500, 2, -2, MouseButton::Left, WM_LBUTTONDBLCLK},
        {"too slow", 501, 0, 0, MouseButton::Left, WM_LBUTTONDOWN},
        {"too far", 100, 3, 0, MouseButton::Left, WM_LBUTTONDOWN},
        {"right button", 100, 0, 0, MouseButton::Right, WM_RBUTTONDOWN},
    };
    for (const ClickPair& c : cases) {
        mDesktop.InjectButton(mWindow, MouseButton::Left, true, 50, 50);
        mDesktop.InjectButton(mWindow, MouseButton::Left, false, 50, 50);
        Pump();
        mClock.AdvanceMillis(c.gapMs);
        mDesktop.InjectButton(mWindow, c.secondButton, true, 50 + c.dx, 50 + c.dy);
        mDesktop.InjectButton(mWindow, c.secondButton, false, 50 + c.dx, 50 + c.dy);
        std::vector<MSG> calls = MouseCalls();
        ASSERT_EQ(calls.size(), 2u) << c.name;
        EXPECT_EQ(calls[0].message, c.expected) << c.name;
        mClock.AdvanceMillis(1000);
    }
}

TEST_F(Mouse, DoubleClicksPairUpAndNeedTheClassStyle)
{
    for (int i = 0; i < 4; ++i) {
        mDesktop.InjectButton(mWindow, MouseButton::Right, true, 5, 5);
        mDesktop.InjectButton(mWindow, MouseButton::Right, false, 5, 5);
    }
    std::vector<MSG> downs = Only(Pump(), {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK});
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].message, WM_RBUTTONDOWN);
    EXPECT_EQ(downs[1].message, WM_RBUTTONDBLCLK);
    EXPECT_EQ(downs[2].message, WM_RBUTTONDOWN);
    EXPECT_EQ(downs[3].message, WM_RBUTTONDBLCLK);

    WNDCLASSA plain;
    plain.lpfnWndProc = DefWindowProcA;
    plain.lpszClassName = "Plain";
    ASSERT_TRUE(RegisterClassA(&plain));
    HWND window = CreateWindowExA(0, "Plain", "", kFramed, 0, 0, 100, 100);
    ShowWindow(window, SW_SHOW);
    for (int i = 0; i < 2; ++i)
        mDesktop.InjectButton(window, MouseButton::Left, true, 5, 5);
    MSG msg;
    std::vector<uint32_t> seen;
    while (PeekMessageA(&msg, window, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE))
        seen.push_back(msg.message);
    EXPECT_EQ(seen, (std::vector<uint32_t>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
}

TEST_F(Mouse, OutsideTheClientAreaOnlyTheHolderHearsIt)
{
    mDesktop.InjectMouseMove(mWindow, -5, 700);
    EXPECT_TRUE(MouseCalls().empty());

    EXPECT_EQ(SetCapture(mWindow), nullptr);
    EXPECT_EQ(GetCapture(), mWindow);
    EXPECT_TRUE(mDesktop.MouseCaptured());
    mDesktop.InjectMouseMove(mWindow, -5, 700);
    mDesktop.InjectButton(mWindow, MouseButton::Left, false, -300, -2);
    std::vector<MSG> calls = MouseCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(GET_X_LPARAM(calls[0].lParam), -5);
    EXPECT_EQ(GET_Y_LPARAM(calls[0].lParam), 700);
    EXPECT_EQ(calls[1].message, WM_LBUTTONUP);
    EXPECT_EQ(GET_X_LPARAM(calls[1].lParam), -300);
    EXPECT_EQ(GET_Y_LPARAM(calls[1].lParam), -2);

    EXPECT_TRUE(ReleaseCapture());
    EXPECT_FALSE(mDesktop.MouseCaptured());
    mDesktop.InjectMouseMove(mWindow, -5, 700);
    EXPECT_TRUE(MouseCalls().empty());
}

TEST_F(Mouse, CaptureRedirectsAnotherWindowsMouse)
{
    HWND other = MakeWindow(1000, 100, 200, 200);
    ShowWindow(other, SW_SHOWNA);
    SetCapture(mWindow);
    mDesktop.InjectMouseMove(other, 10, 10);
    std::vector<MSG> calls = MouseCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].hwnd, mWindow);
    // (1003 + 10) - 103 across, (126 + 10) - 126 down.
    EXPECT_EQ(GET_X_LPARAM(calls[0].lParam), 910);
    EXPECT_EQ(GET_Y_LPARAM(calls[0].lParam), 10);
}

TEST_F(Mouse, WheelNotchesAre120WithTheScreenPosition)
{
    mDesktop.InjectWheel(mWindow, 1, 10, 20);
    mDesktop.InjectWheel(mWindow, -2, 10, 20);
    std::vector<MSG> calls = MouseCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(calls[0].wParam), 120);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(calls[1].wParam), -240);
    EXPECT_EQ(GET_X_LPARAM(calls[1].lParam), 113);
    EXPECT_EQ(GET_Y_LPARAM(calls[1].lParam), 146);
}

TEST_F(Mouse, PointerPositionAndWindowUnderIt)
{
    mDesktop.InjectMouseMove(mWindow, 30, 40);
    Pump();
    POINT point;
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 133);
    EXPECT_EQ(point.y, 166);
    EXPECT_EQ(WindowFromPoint(point), mWindow);
    ASSERT_TRUE(ScreenToClient(mWindow, &point));
    EXPECT_EQ(point.x, 30);
    EXPECT_EQ(point.y, 40);

    mDesktop.InjectMouseMove(mWindow, 900, 40);
    Pump();
    GetCursorPos(&point);
    EXPECT_EQ(WindowFromPoint(point), nullptr);

    ShowWindow(mWindow, SW_MINIMIZE);
    EXPECT_EQ(WindowFromPoint(POINT{133, 166}), nullptr);
}

TEST_F(Mouse, LastInputTimeFollowsTheInput)
{
    LASTINPUTINFO info;
    mClock.AdvanceMillis(2500);
    mDesktop.InjectMouseMove(mWindow, -50, -50);
    Pump();
    ASSERT_TRUE(GetLastInputInfo(&info));
    EXPECT_EQ(info.dwTime, GetTickCount());

    mClock.AdvanceMillis(700);
    Pump();
    GetLastInputInfo(&info);
    EXPECT_EQ(GetTickCount() - info.dwTime, 700u);
    info.cbSize = 4;
    EXPECT_FALSE(GetLastInputInfo(&info));
}

} // namespace
