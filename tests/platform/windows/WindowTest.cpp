#include "platform/windows/Input.h"
#include "platform/process/Log.h"
#include "platform/windows/Messages.h"
#include "platform/windows/VirtualKeys.h"
#include "platform/windows/Window.h"
#include "tests/platform/windows/WindowFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;

namespace {

using Windows = WindowFixture;

TEST_F(Windows, CreationSendsCreateAndKnowsItsClass)
{
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    std::vector<MSG> calls = TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, WM_CREATE);
    EXPECT_EQ(calls[0].hwnd, window);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(mDesktop.WindowState(window), std::nullopt); // not shown yet

    std::vector<std::string> logged;
    LogHook previous = SetLogHook([&](const std::string& line) { logged.push_back(line); });
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10), nullptr);
    SetLogHook(previous);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("NoSuchClass"), std::string::npos);

    AnswerWith(WM_CREATE, -1);
    EXPECT_EQ(MakeWindow(), nullptr);
    EXPECT_EQ(Only(TakeCalls(), {WM_CREATE, WM_DESTROY}).size(), 2u);

    WNDCLASSA again;
    again.lpfnWndProc = DefWindowProcA;
    again.lpszClassName = "testwindow";
    EXPECT_FALSE(RegisterClassA(&again));
}

TEST_F(Windows, OuterAndClientGeometry)
{
    RECT outer{0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRect(&outer, kFramed));
    EXPECT_EQ(outer.right - outer.left, 806);
    EXPECT_EQ(outer.bottom - outer.top, 629);
    RECT popup{0, 0, 800, 600};
    AdjustWindowRect(&popup, WS_POPUP);
    EXPECT_EQ(popup.right, 800);
    EXPECT_EQ(popup.left, 0);

    HWND window = MakeWindow(64, 64, 806, 629);
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(window, &origin));
    EXPECT_EQ(origin.x, 67);
    EXPECT_EQ(origin.y, 90);

    ASSERT_TRUE(MoveWindow(window, 100, 64, 806, 629, true));
    std::vector<MSG> calls = Only(Pump(), {WM_MOVE, WM_SIZE});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, WM_MOVE);
    EXPECT_EQ(GET_X_LPARAM(calls[0].lParam), 103);
    MoveWindow(window, 100, 64, 406, 329, false);
    calls = Only(Pump(), {WM_MOVE, WM_SIZE});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, WM_SIZE);
    EXPECT_EQ(calls[0].lParam, MAKELPARAM(400, 300));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.bottom, 64 + 329);

    // The desktop moving the window: client origin (200, 150).
    mDesktop.InjectWindowEvent(window, NativeEvent::Kind::Moved, 200, 150);
    mDesktop.InjectWindowEvent(window, NativeEvent::Kind::Moved, 200, 150);
    calls = Only(Pump(), {WM_MOVE});
    ASSERT_EQ(calls.size(), 1u);
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(GetWindowPlacement(window, &placement));
    EXPECT_EQ(placement.showCmd, uint32_t(SW_SHOWNORMAL));
    EXPECT_EQ(placement.rcNormalPosition.left, 197);
    EXPECT_EQ(placement.rcNormalPosition.top, 124);
}

TEST_F(Windows, ShowingActivatesAndTheDesktopTakesTheFocusAway)
{
    HWND main = MakeWindow();
    HWND hidden = CreateWindowExA(0, kClass, "Hidden", 0, 0, 0, 0, 0);
    TakeCalls();
    EXPECT_FALSE(ShowWindow(main, SW_SHOW));
    EXPECT_TRUE(ShowWindow(main, SW_SHOW));
    std::vector<MSG> calls = Only(Pump(), {WM_ACTIVATEAPP, WM_ACTIVATE, WM_PAINT});
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].message, WM_ACTIVATEAPP);
    EXPECT_EQ(calls[0].hwnd, main);
    EXPECT_EQ(calls[0].wParam, 1u);
    EXPECT_EQ(calls[1].message, WM_ACTIVATEAPP);
    EXPECT_EQ(calls[1].hwnd, hidden);
    EXPECT_EQ(calls[2].message, WM_ACTIVATE);
    EXPECT_EQ(calls[2].wParam, WA_ACTIVE);
    EXPECT_EQ(calls[3].message, WM_PAINT);
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), main);
    EXPECT_TRUE(mDesktop.WindowState(main)->visible);

    mDesktop.InjectWindowEvent(main, NativeEvent::Kind::Deactivated);
    calls = Only(Pump(), {WM_ACTIVATEAPP});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].wParam, 0u);
    EXPECT_EQ(GetActiveWindow(), nullptr);

    EXPECT_TRUE(SetForegroundWindow(main));
    EXPECT_EQ(Only(Pump(), {WM_ACTIVATEAPP}).size(), 2u);
    EXPECT_FALSE(SetForegroundWindow(hidden));
}

TEST_F(Windows, MinimiseAndRestore)
{
    HWND main = MakeWindow();
    ShowWindow(main, SW_SHOW);
    Pump();
    ShowWindow(main, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(main));
    WINDOWPLACEMENT placement;
    GetWindowPlacement(main, &placement);
    EXPECT_EQ(placement.showCmd, uint32_t(SW_SHOWMINIMIZED));
    EXPECT_EQ(placement.rcNormalPosition.left, 100);
    std::vector<MSG> calls = Only(Pump(), {WM_SIZE, WM_ACTIVATEAPP});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].message, WM_SIZE);
    EXPECT_EQ(calls[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(calls[1].wParam, 0u);

    ShowWindow(main, SW_RESTORE);
    EXPECT_FALSE(IsIconic(main));
    calls = Only(Pump(), {WM_SIZE, WM_ACTIVATEAPP, WM_PAINT});
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(calls[0].lParam, MAKELPARAM(800, 600));
    EXPECT_EQ(calls[1].wParam, 1u);

    // The same by the desktop's hand, reported once each.
    mDesktop.InjectWindowEvent(main, NativeEvent::Kind::Minimized);
    mDesktop.InjectWindowEvent(main, NativeEvent::Kind::Minimized);
    mDesktop.InjectWindowEvent(main, NativeEvent::Kind::Maximized);
    calls = Only(Pump(), {WM_SIZE});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(calls[1].wParam, SIZE_MAXIMIZED);
    EXPECT_FALSE(IsIconic(main));
}

struct CloseCase {
    const char* name;
    bool closeButton;
    bool altHeld;
    bool closes;
};

TEST_F(Windows, CloseButtonAndAltF4CloseThroughTheDefaults)
{
    const CloseCase cases[] = {
        {"close button", true, false, true},
        {"alt+f4", false, true, true},
        {"f4 alone", false, false, false},
    };
    for (const CloseCase& c : cases) {
        HWND window = MakeWindow();
        ShowWindow(window, SW_SHOW);
        Pump();
        if (c.closeButton) {
            mDesktop.InjectWindowEvent(window, NativeEvent::Kind::CloseRequested);
        } else {
            if (c.altHeld)
                mDesktop.InjectKey(VK_MENU, true);
            mDesktop.InjectKey(VK_F4, true);
        }
        std::vector<MSG> calls = Only(Pump(), {WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY});
        if (c.closes) {
            ASSERT_EQ(calls.size(), 3u) << c.name;
            EXPECT_EQ(calls[0].wParam, SC_CLOSE) << c.name;
            EXPECT_EQ(calls[1].message, WM_CLOSE) << c.name;
            EXPECT_EQ(calls[2].message, WM_DESTROY) << c.name;
            EXPECT_FALSE(IsWindow(window)) << c.name;
        } else {
            EXPECT_TRUE(calls.empty()) << c.name;
            DestroyWindow(window);
        }
        mDesktop.InjectKey(VK_MENU, false);
        Pump();
    }

    // A procedure that answers WM_CLOSE itself keeps its window.
    AnswerWith(WM_CLOSE, 0);
    HWND window = MakeWindow();
    mDesktop.InjectWindowEvent(window, NativeEvent::Kind::CloseRequested);
    EXPECT_EQ(Only(Pump(), {WM_CLOSE}).size(), 1u);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(Windows, DestroyingLetsGoOfUserDataCaptureAndFocus)
{
    HWND window = MakeWindow();
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 5678), 1234);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 5678);
    ShowWindow(window, SW_SHOW);
    Pump();
    SetCapture(window);
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(mDesktop.MouseCaptured());
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(mDesktop.WindowState(window), std::nullopt);
}

TEST_F(Windows, ATopmostPopupCoversTheScreen)
{
    HWND window = CreateWindowExA(WS_EX_TOPMOST, kClass, "Zentrova", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600);
    std::optional<NativeWindowState> state = mDesktop.WindowState(window);
    ASSERT_TRUE(state.has_value());
    EXPECT_TRUE(state->fullScreen);
    EXPECT_TRUE(state->visible);
    EXPECT_EQ(state->client.right, 800);
    EXPECT_EQ(state->title, "Zentrova");
    EXPECT_FALSE(mDesktop.WindowState(MakeWindow(0, 0, 100, 100, kFramed | WS_VISIBLE))->fullScreen);
}

TEST_F(Windows, ScreenWorkAreaAndQuietScreensaver)
{
    mDesktop.SetScreen(RECT{0, 0, 1280, 1024}, RECT{0, 30, 1280, 1024});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_TABLETPC), 0);
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work));
    EXPECT_EQ(work.top, 30);
    for (uint32_t query : {SPI_GETSCREENSAVETIMEOUT, SPI_GETSCREENSAVEACTIVE, SPI_GETSCREENSAVERRUNNING}) {
        int answer = 99;
        EXPECT_TRUE(SystemParametersInfoA(query, 0, &answer));
        EXPECT_EQ(answer, 0);
    }
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 0, nullptr));
}

TEST_F(Windows, FramesReachTheScreenWithoutTheirPadding)
{
    HWND window = MakeWindow();
    // Two rows of three pixels, each row padded to four.
    const uint32_t pixels[] = {1, 2, 3, 0xDEAD, 4, 5, 6, 0xDEAD};
    ASSERT_TRUE(ShowWindowFrame(window, pixels, 3, 2, 16));
    int32_t width = 0, height = 0;
    EXPECT_EQ(mDesktop.Frame(window, &width, &height), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_FALSE(ShowWindowFrame(window, pixels, 3, 2, 8));
    EXPECT_FALSE(ShowWindowFrame(window, nullptr, 3, 2, 16));
    EXPECT_FALSE(ShowWindowFrame(nullptr, pixels, 3, 2, 16));
    EXPECT_STREQ(GetPlatformName(), "headless");
}

} // namespace
