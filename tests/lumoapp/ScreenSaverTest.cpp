#include "tests/lumoapp/AppFixture.h"

#include "framework/widgets/WidgetManager.h"
#include "platform/windows/Messages.h"
#include "platform/windows/VirtualKeys.h"
#include "platform/windows/Window.h"
#include "platform/windows/WindowSystem.h"

namespace LumoTest {
namespace {

using namespace Platform;

class ScreenSaverTest : public AppFixture {
protected:
    void StartScreenSaver()
    {
        DrainMessages();
        mApp = std::make_unique<TestApp>();
        mApp->mIsScreenSaver = true;
        WindowSystem::Current().Input().SetCursorPosition(POINT{300, 200});
        mApp->Initialize();
        DrainMessages();
    }
    void DrainMessages()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    bool ClosePosted()
    {
        MSG message;
        return PeekMessageA(&message, mApp->mHWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
    }
    // A move to a screen position, as the window reports it.
    LRESULT MoveTo(int x, int y)
    {
        POINT client{x, y};
        ScreenToClient(mApp->mHWnd, &client);
        return mApp->HandleWindowMessage(mApp->mHWnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
};

TEST_F(ScreenSaverTest, TheFourthMoveEndsTheScreenSaverOnceAndNothingLater)
{
    StartScreenSaver();
    EXPECT_EQ(MoveTo(300, 200), 0); // where the pointer was at the start: no move
    EXPECT_EQ(MoveTo(301, 200), 0);
    EXPECT_EQ(MoveTo(301, 200), 0);
    EXPECT_EQ(MoveTo(302, 201), 0);
    EXPECT_EQ(MoveTo(303, 201), 0);
    EXPECT_FALSE(ClosePosted());
    MoveTo(304, 201);
    EXPECT_TRUE(ClosePosted());

    DrainMessages();
    mApp->HandleWindowMessage(mApp->mHWnd, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(ClosePosted());
}

TEST_F(ScreenSaverTest, KeysButtonsAndDeactivationEndItAtOnce)
{
    struct Case {
        const char* name;
        uint32_t message;
        WPARAM wParam;
        bool closes;
        bool swallowed; // answered 0 by the check
    };
    const Case cases[] = {
        {"key", WM_KEYDOWN, 'A', true, false},
        {"system key", WM_SYSKEYDOWN, VK_MENU, true, false},
        {"left button", WM_LBUTTONDOWN, 0, true, false},
        {"right button", WM_RBUTTONDOWN, 0, true, false},
        {"middle button", WM_MBUTTONDOWN, 0, true, false},
        {"close", WM_CLOSE, 0, true, false},
        {"deactivation", WM_ACTIVATE, 0, true, false},
        {"application deactivation", WM_ACTIVATEAPP, 0, true, false},
        {"frame deactivation", WM_NCACTIVATE, 0, true, false},
        {"activation", WM_ACTIVATE, 1, false, false},
        {"screen saver command", WM_SYSCOMMAND, SC_SCREENSAVE, false, true},
        {"close command", WM_SYSCOMMAND, SC_CLOSE, false, true},
        {"next window command", WM_SYSCOMMAND, SC_NEXTWINDOW, false, true},
        {"previous window command", WM_SYSCOMMAND, SC_PREVWINDOW, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartScreenSaver();
        const LRESULT answer = mApp->HandleWindowMessage(mApp->mHWnd, c.message, c.wParam, 0);
        EXPECT_EQ(ClosePosted(), c.closes);
        if (c.swallowed) {
            EXPECT_EQ(answer, 0);
            EXPECT_FALSE(mApp->mShutdown.load());
        }
        // Only the main window's input counts.
        if (c.closes) {
            StartScreenSaver();
            mApp->HandleWindowMessage(mApp->mInvisHWnd, c.message, c.wParam, 0);
            EXPECT_FALSE(ClosePosted());
        }
    }
    DrainMessages();
}

// Turning the monitor off sends activation changes and moves that are not the
// user's; for a second only keys and buttons end the screen saver.
TEST_F(ScreenSaverTest, ForASecondAfterTheMonitorPowerCommandOnlyKeysAndButtonsCount)
{
    StartScreenSaver();
    mApp->HandleWindowMessage(mApp->mHWnd, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    mClock.AdvanceMillis(900);
    mApp->HandleWindowMessage(mApp->mHWnd, WM_ACTIVATE, 0, 0);
    mApp->HandleWindowMessage(mApp->mHWnd, WM_CLOSE, 0, 0);
    for (int x = 310; x < 316; ++x)
        MoveTo(x, 200);
    EXPECT_FALSE(ClosePosted());
    mApp->HandleWindowMessage(mApp->mHWnd, WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(ClosePosted());

    StartScreenSaver();
    mApp->HandleWindowMessage(mApp->mHWnd, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    mClock.AdvanceMillis(1000);
    mApp->HandleWindowMessage(mApp->mHWnd, WM_ACTIVATE, 0, 0);
    EXPECT_TRUE(ClosePosted());
    DrainMessages();
}

class IdlePauseTest : public AppFixture {
protected:
    void SetScreenSaver(int timeoutSeconds, bool active, bool running = false)
    {
        mSession.Desktop().SetScreenSaverSetting(SPI_GETSCREENSAVETIMEOUT, timeoutSeconds);
        mSession.Desktop().SetScreenSaverSetting(SPI_GETSCREENSAVEACTIVE, active ? 1 : 0);
        mSession.Desktop().SetScreenSaverSetting(SPI_GETSCREENSAVERRUNNING, running ? 1 : 0);
    }
    // The user touches the mouse now.
    void UserInput()
    {
        mSession.Desktop().InjectMouseMove(mApp->mHWnd, 5, 5);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    bool PausedAfter(uint32_t idleMs)
    {
        mClock.AdvanceMillis(idleMs);
        mApp->CheckScreensaverIdle(timeGetTime());
        mApp->mForcePresent = true;
        return !mApp->DrawFrame() && !mApp->UpdateTick();
    }
};

TEST_F(IdlePauseTest, DrawingStopsForTheScreenSaverAndComesBackWholeWithInput)
{
    struct Case {
        const char* name;
        int timeoutSeconds;
        bool active;
        bool windowed;
        uint32_t pausesAfter; // 0: never
    };
    const Case cases[] = {
        {"60 s: paused after 58 s", 60, true, true, 58001},
        {"2 s counts as 1 s", 2, true, true, 1001},
        {"screen saver off", 60, false, true, 0},
        {"full screen", 60, true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetScreenSaver(c.timeoutSeconds, c.active);
        mApp = std::make_unique<TestApp>();
        mApp->mWindowed = c.windowed;
        mApp->Initialize();
        UserInput();
        const uint32_t limit = c.pausesAfter ? c.pausesAfter : 58001;
        EXPECT_FALSE(PausedAfter(limit - 1));
        EXPECT_EQ(PausedAfter(1), c.pausesAfter != 0);
        if (c.pausesAfter) {
            // The system screen saver runs: input alone does not end the pause.
            SetScreenSaver(c.timeoutSeconds, true, true);
            UserInput();
            EXPECT_TRUE(PausedAfter(1));
            SetScreenSaver(c.timeoutSeconds, true, false);
            UserInput();
            mApp->mWidgetManager->mDirty = false;
            mClock.AdvanceMillis(1);
            mApp->CheckScreensaverIdle(timeGetTime());
            EXPECT_TRUE(mApp->mWidgetManager->mDirty);
            EXPECT_FALSE(PausedAfter(0));
        }
        mApp.reset();
    }
}

// The pause lets the machine rest: the loop sleeps through it, and so still
// notices the user's return once a second and draws again.
TEST_F(IdlePauseTest, ThePausedLoopSleepsAndWakesToTheUsersReturn)
{
    SetScreenSaver(2, true);
    ASSERT_NE(StartApp(), nullptr);
    UserInput();
    // The settings are read ten seconds after the clock's start.
    RunWorkingFor(12000);

    // Paused: no update runs, and each pass sleeps a step, about a hundred wakes a second.
    const int updatesBefore = mApp->mUpdateCount;
    EXPECT_LE(RunWorkingFor(1000), 200u);
    ASSERT_EQ(mApp->mUpdateCount, updatesBefore);

    UserInput();
    const int drawsBefore = mApp->mDrawCount;
    RunWorkingFor(2000);
    EXPECT_GT(mApp->mDrawCount, drawsBefore);
    EXPECT_GT(mApp->mUpdateCount, updatesBefore + 100);
}

} // namespace
} // namespace LumoTest
