#include "platform/backends/headless/HeadlessSession.h"
#include "platform/windows/Messages.h"
#include "platform/process/Process.h"
#include "platform/windows/Window.h"
#include "tests/platform/windows/WindowFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

using namespace Platform;

namespace {

using MessageQueue = WindowFixture;

TEST_F(MessageQueue, PostedMessagesComeInOrderThroughTheFilters)
{
    HWND first = MakeWindow();
    HWND second = MakeWindow();
    ASSERT_TRUE(PostMessageA(first, WM_USER + 1, 1, 0));
    ASSERT_TRUE(PostMessageA(second, WM_USER + 2, 2, 0));
    ASSERT_TRUE(PostMessageA(first, WM_USER + 3, 3, 0));
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 4, 4, 0));

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, second, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 4, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    DestroyWindow(second);
    EXPECT_FALSE(PostMessageA(second, WM_USER, 0, 0));
}

TEST_F(MessageQueue, DestroyingAWindowDropsItsMessagesAndTimers)
{
    HWND window = MakeWindow();
    PostMessageA(window, WM_USER, 0, 0);
    SetTimer(window, 1, 10);
    ShowWindow(window, SW_SHOW);
    EXPECT_TRUE(DestroyWindow(window));
    TakeCalls();
    mClock.AdvanceMillis(50);
    std::vector<MSG> calls = Pump();
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(MessageQueue, TimersTickOnTheClockWithoutCatchingUp)
{
    HWND window = MakeWindow();
    EXPECT_EQ(SetTimer(window, 100, 10), 100u);
    auto ticks = [&] { return Only(Pump(), {WM_TIMER}).size(); };
    EXPECT_EQ(ticks(), 0u);
    mClock.AdvanceMillis(9);
    EXPECT_EQ(ticks(), 0u);
    mClock.AdvanceMillis(1);
    std::vector<MSG> timer = Only(Pump(), {WM_TIMER});
    ASSERT_EQ(timer.size(), 1u);
    EXPECT_EQ(timer[0].hwnd, window);
    EXPECT_EQ(timer[0].wParam, 100u);

    // A stall of several periods gives one tick, then the rhythm resumes.
    mClock.AdvanceMillis(35);
    EXPECT_EQ(ticks(), 1u);
    mClock.AdvanceMillis(9);
    EXPECT_EQ(ticks(), 0u);
    mClock.AdvanceMillis(1);
    EXPECT_EQ(ticks(), 1u);

    // Setting the same id again restarts it; a period below 10 ms is 10 ms.
    mClock.AdvanceMillis(5);
    SetTimer(window, 100, 1);
    mClock.AdvanceMillis(9);
    EXPECT_EQ(ticks(), 0u);
    mClock.AdvanceMillis(1);
    EXPECT_EQ(ticks(), 1u);

    EXPECT_TRUE(KillTimer(window, 100));
    EXPECT_FALSE(KillTimer(window, 100));
    mClock.AdvanceMillis(100);
    EXPECT_EQ(ticks(), 0u);
    EXPECT_EQ(SetTimer(nullptr, 5, 10), 0u);
}

TEST_F(MessageQueue, PaintComesAfterPostedMessagesUntilValidated)
{
    HWND window = MakeWindow();
    ShowWindow(window, SW_SHOWNA);
    PostMessageA(window, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_PAINT);
    }
    PAINTSTRUCT paint;
    ASSERT_TRUE(BeginPaint(window, &paint));
    EXPECT_EQ(paint.rcPaint.right, 800);
    EXPECT_EQ(paint.rcPaint.bottom, 600);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    mDesktop.InjectWindowEvent(window, NativeEvent::Kind::Exposed);
    EXPECT_EQ(Only(Pump(), {WM_PAINT}).size(), 1u);
    ShowWindow(window, SW_HIDE);
    mDesktop.InjectWindowEvent(window, NativeEvent::Kind::Exposed);
    EXPECT_TRUE(Only(Pump(), {WM_PAINT}).empty());
}

TEST_F(MessageQueue, RegisteredMessagesShareIdsByName)
{
    uint32_t notify = RegisterWindowMessageA("NotifyZentrovaTest");
    EXPECT_GE(notify, 0xC000u);
    EXPECT_LE(notify, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessageA("notifyzentrovatest"), notify);
    EXPECT_NE(RegisterWindowMessageA("Another"), notify);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
}

TEST_F(MessageQueue, BroadcastReachesTheProcessThatRegisteredFirst)
{
    std::string name = "NotifyTest" + std::to_string(GetCurrentProcessId());
    HWND first = MakeWindow();
    HWND hidden = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0);
    {
        // Before any process listens, a broadcast without a window reaches nobody.
        HeadlessSession second;
        EXPECT_FALSE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(name.c_str()), 0, 77));
    }
    uint32_t notify = RegisterWindowMessageA(name.c_str());
    {
        // A second instance: its own desktop, no windows yet.
        HeadlessSession second;
        uint32_t theirs = RegisterWindowMessageA(name.c_str());
        EXPECT_TRUE(PostMessageA(HWND_BROADCAST, theirs, 0, 77));
    }
    std::vector<MSG> calls = Only(Pump(), {notify});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].hwnd, first);
    EXPECT_EQ(calls[1].hwnd, hidden);
    EXPECT_EQ(calls[0].lParam, 77);

    // Within the first instance a broadcast is posted once to each window.
    PostMessageA(HWND_BROADCAST, notify, 1, 0);
    EXPECT_EQ(Only(Pump(), {notify}).size(), 2u);
}

TEST_F(MessageQueue, InterruptEndsTheSessionOnceThereIsAWindow)
{
    std::raise(SIGTERM);
    EXPECT_TRUE(Pump().empty());
    HWND main = MakeWindow();
    HWND hidden = CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0);
    std::vector<MSG> calls = Only(Pump(), {WM_ENDSESSION});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].hwnd, main);
    EXPECT_EQ(calls[1].hwnd, hidden);
    EXPECT_EQ(calls[0].wParam, 1u);
    EXPECT_TRUE(Only(Pump(), {WM_ENDSESSION}).empty());
}

} // namespace
