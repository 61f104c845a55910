#include "tests/lumoapp/AppFixture.h"

#include "framework/widgets/WidgetManager.h"
#include "platform/sound/PlaySound.h"
#include "platform/windows/Input.h"
#include "platform/windows/VirtualKeys.h"
#include "platform/windows/WindowConstants.h"

namespace LumoTest {
namespace {

using namespace Platform;

class InputDispatchTest : public AppFixture {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartApp(), nullptr);
        mWidget.Resize(0, 0, 200, 200);
        mApp->mWidgetManager->AddChild(&mWidget);
        mApp->mWidgetManager->SetFocus(&mWidget);
    }
    void TearDown() override
    {
        if (mApp)
            mApp->mWidgetManager->RemoveChild(&mWidget);
    }
    // Queues without dispatching.
    void Queue(uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        mApp->HandleWindowMessage(mApp->mHWnd, message, wParam, lParam);
    }

    InputWidget mWidget;
};

TEST_F(InputDispatchTest, QueueCoalescesTimersSystemChangesAndEndsAtAClose)
{
    Queue(WM_TIMER, 100);
    Queue(WM_TIMER, 100);
    EXPECT_EQ(mApp->QueuedMessageCount(), 1u);
    Queue(WM_KEYDOWN, 'A');
    Queue(WM_TIMER, 100);
    EXPECT_EQ(mApp->QueuedMessageCount(), 3u);
    Queue(WM_SYSCOLORCHANGE);
    Queue(WM_DISPLAYCHANGE);
    EXPECT_EQ(mApp->QueuedMessageCount(), 4u);
    Queue(WM_CLOSE);
    Queue(WM_KEYDOWN, 'B');
    Queue(WM_CHAR, 'b');
    EXPECT_EQ(mApp->QueuedMessageCount(), 5u);

    while (mApp->ProcessQueuedInput()) {
    }
    EXPECT_TRUE(mApp->mShutdown);
    EXPECT_TRUE(mApp->mManualShutdown);
    EXPECT_EQ(mWidget.mKeys, std::vector<int>{'A'});
}

TEST_F(InputDispatchTest, MouseButtonsReachWidgetsWithTheirButtonAndClickCount)
{
    struct Case {
        uint32_t message;
        int button;
        int clickCount;
    };
    const Case cases[] = {{WM_LBUTTONDOWN, 0, 1}, {WM_LBUTTONDBLCLK, 0, 2}, {WM_RBUTTONDOWN, 1, 1},
                          {WM_RBUTTONDBLCLK, 1, 2}, {WM_MBUTTONDOWN, 2, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        mWidget.mDowns.clear();
        Send(c.message, 0, MAKELPARAM(30, 40));
        ASSERT_EQ(mWidget.mDowns.size(), 1u);
        EXPECT_EQ(mWidget.mDowns[0].x, 30);
        EXPECT_EQ(mWidget.mDowns[0].y, 40);
        EXPECT_EQ(mWidget.mDowns[0].button, c.button);
        EXPECT_EQ(mWidget.mDowns[0].clickCount, c.clickCount);
        Send(c.message == WM_LBUTTONDOWN || c.message == WM_LBUTTONDBLCLK
                 ? WM_LBUTTONUP
                 : (c.message == WM_MBUTTONDOWN ? WM_MBUTTONUP : WM_RBUTTONUP),
             0, MAKELPARAM(30, 40));
    }
}

TEST_F(InputDispatchTest, ReleasingTheLeftButtonWhileTheRightIsHeldKeepsTheCapture)
{
    Send(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    Send(WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(GetCapture(), mApp->mHWnd.load());
    Send(WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputDispatchTest, WheelDeltasBecomeWholeNotchesTowardZero)
{
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    for (const int delta : {240, -120}) {
        mWidget.mWheel.clear();
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(20, 20));
        EXPECT_EQ(mWidget.mWheel, std::vector<int>{delta / 120}) << delta;
    }
}

TEST_F(InputDispatchTest, AltEnterSwitchesModeUnlessAModeIsForced)
{
    const bool windowed = mApp->mIsWindowed;
    Send(WM_SYSKEYDOWN, VK_RETURN, 0);
    EXPECT_NE(mApp->mIsWindowed, windowed);
    EXPECT_TRUE(mWidget.mKeys.empty());

    mApp->mForceWindowed = true;
    const bool switched = mApp->mIsWindowed;
    Send(WM_SYSKEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(mApp->mIsWindowed, switched);
}

TEST_F(InputDispatchTest, CtrlAltDTogglesTheDebugKeysAudiblyAndAPlainDReachesTheWidgets)
{
    PlaySoundA(nullptr, nullptr, 0);
    Send(WM_KEYDOWN, 'D', 0);
    EXPECT_FALSE(mApp->mDebugKeysEnabled);
    EXPECT_EQ(mWidget.mKeys, std::vector<int>{'D'});
    EXPECT_FALSE(Sounding());

    Send(WM_KEYDOWN, VK_CONTROL, 0);
    Send(WM_SYSKEYDOWN, VK_MENU, 0);
    Send(WM_SYSKEYDOWN, 'D', 0);
    EXPECT_TRUE(mApp->mDebugKeysEnabled);
    EXPECT_TRUE(Sounding());
    PlaySoundA(nullptr, nullptr, 0);
}

TEST_F(InputDispatchTest, DeactivationMutesThroughTheAutomaticLevelOnlyWhenAsked)
{
    Send(WM_ACTIVATEAPP, 1, 0);
    ASSERT_TRUE(mApp->mActive);
    mApp->mMusicVolumes.clear();
    Send(WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(mApp->mActive);
    EXPECT_EQ(mApp->mAutoMuteCount, 1);
    EXPECT_EQ(mApp->mMusicVolumes.back(), 0.0f);
    Send(WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(mApp->mAutoMuteCount, 0);
    EXPECT_FLOAT_EQ(mApp->mMusicVolumes.back(), mApp->mMusicVolume);

    mApp->mMuteOnLostFocus = false;
    Send(WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(mApp->IsMuted());
}

TEST_F(InputDispatchTest, PlaybackKeysSetTheJumpTargetsAndSpeeds)
{
    mApp->mPlaying = true;
    mApp->mDemoTotalUpdates = 100000;
    Queue(WM_CHAR, '8');
    EXPECT_EQ(mApp->mJumpTarget, 99000);
    Queue(WM_CHAR, '4');
    EXPECT_EQ(mApp->mJumpTarget, 88000);
    Queue(WM_CHAR, '+');
    EXPECT_DOUBLE_EQ(mApp->mRateMultiplier, 1.5);
    Queue(WM_CHAR, '=');
    EXPECT_DOUBLE_EQ(mApp->mRateMultiplier, 1.0);
    Queue(WM_CHAR, 'p');
    EXPECT_TRUE(mApp->mPaused);
    mApp->mPlaying = false;
}

} // namespace
} // namespace LumoTest
